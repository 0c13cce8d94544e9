"""The catalogue of the tool's texts: the lists beside the code (texts.def,
identifier and German) and one Qt Linguist file per further language
(translations/harvelin_LANG.ts). Used by scripts/update-translations and by
the build, which turns the .ts files into the tables the programs read."""

import re
import xml.etree.ElementTree as ET
from pathlib import Path

LITERALS = r'((?:"(?:[^"\\]|\\.)*"\s*)+)'
ENTRY = re.compile(r'^HARVELIN_TEXT\(\s*(\w+)\s*,\s*' + LITERALS + r'(?:,\s*' + LITERALS + r')?\)', re.M)
ESCAPES = {'n': '\n', 't': '\t', '"': '"', '\\': '\\', "'": "'"}


def unquote(literals):
    """The text of adjacent C++ string literals."""
    text = ''
    for body in re.findall(r'"((?:[^"\\]|\\.)*)"', literals):
        text += re.sub(r'\\(.)', lambda m: ESCAPES[m.group(1)], body)
    return text


def lists(source_dir):
    """Every list of the tool: (context, [(identifier, German, English or None)]).
    A list's context is its folder's name: src/ui/texts.def -> "ui"."""
    found = []
    for path in sorted(Path(source_dir, 'src').glob('*/texts.def')):
        entries = [(m.group(1), unquote(m.group(2)), unquote(m.group(3)) if m.group(3) else None)
                   for m in ENTRY.finditer(path.read_text(encoding='utf-8'))]
        found.append((path.parent.name, entries))
    return found


def read_ts(path):
    """{message id: (source, translation, finished)} of a .ts file."""
    messages = {}
    if not Path(path).exists():
        return messages
    for message in ET.parse(path).getroot().iter('message'):
        translation = message.find('translation')
        kind = translation.get('type', '') if translation is not None else 'unfinished'
        if kind in ('vanished', 'obsolete'):
            continue
        messages[message.get('id')] = (message.findtext('source', ''),
                                       translation.text or '' if translation is not None else '',
                                       kind != 'unfinished')
    return messages


def cpp_literal(text):
    """A C++ string literal of `text`'s UTF-8 bytes; octal escapes never run
    into the character after them."""
    out = '"'
    for byte in text.encode('utf-8'):
        if byte in (0x22, 0x5C):
            out += '\\' + chr(byte)
        elif 0x20 <= byte < 0x7F:
            out += chr(byte)
        else:
            out += '\\%03o' % byte
    return out + '"'
