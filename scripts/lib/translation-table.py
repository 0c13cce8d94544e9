#!/usr/bin/env python3
"""Writes the C++ table of every further language's texts, from the .ts files
the build names: translation-table.py OUT.cpp LANG=FILE.ts ...
Only finished translations are taken; a text without one is shown in German,
and the catalogue's test names it."""

import sys

from catalogue import cpp_literal, read_ts


def main(out, languages):
    lines = ['// Made by the build from translations/*.ts; do not edit.',
             '#include "model/catalogue_translations.h"', '', '#include <array>', '', 'namespace harvelin {', '',
             'namespace {', '']
    names = []
    for number, argument in enumerate(languages):
        code, path = argument.split('=', 1)
        messages = read_ts(path)
        taken = [(identifier, messages[identifier][1]) for identifier in sorted(messages)
                 if messages[identifier][2] and messages[identifier][1]]
        lines.append('constexpr std::array<Translation, %d> Language%d{{' % (len(taken), number))
        lines += ['    {%s, %s},' % (cpp_literal(identifier), cpp_literal(text)) for identifier, text in taken]
        lines.append('}};')
        names.append((code, number))
    lines += ['', '}  // namespace', '', 'std::span<const TranslatedLanguage> translatedLanguages()', '{',
              '    static constexpr TranslatedLanguage Languages[] = {']
    lines += ['        {%s, Language%d},' % (cpp_literal(code), number) for code, number in names]
    lines += ['    };', '    return Languages;', '}', '', '}  // namespace harvelin', '']
    text = '\n'.join(lines)
    try:
        with open(out, encoding='utf-8') as existing:
            if existing.read() == text:
                return
    except FileNotFoundError:
        pass
    with open(out, 'w', encoding='utf-8') as f:
        f.write(text)


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2:])
