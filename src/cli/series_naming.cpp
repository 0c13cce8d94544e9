#include <algorithm>

#include "cli/series.h"
#include "model/configuration_rule.h"
#include "model/win1252.h"

namespace harvelin::cli {

namespace {

// Why `name` cannot be a pager's name, in English; empty when it can.
std::string nameProblem(const std::string& name)
{
    const std::optional<Problem> problem = checkText(Field::PagerName, name);
    return problem ? win1252ToUtf8(describe(*problem)) : std::string();
}

}  // namespace

SeriesNaming SeriesNaming::keepOwn()
{
    SeriesNaming naming;
    naming.kind_ = Kind::KeepOwn;
    return naming;
}

std::optional<SeriesNaming> SeriesNaming::list(std::string_view bytes, std::string& why)
{
    if (const std::optional<Problem> mixed = checkEncoding(bytes)) {
        const auto line = 1 + std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(mixed->at), '\n');
        why = said(CliText::NamesLine, {std::to_string(line), describe(*mixed)});
        return std::nullopt;
    }
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    const bool utf8 = isUtf8BeyondAscii(bytes);
    SeriesNaming naming;
    naming.kind_ = Kind::List;
    unsigned lineNumber = 0;
    while (!bytes.empty()) {
        ++lineNumber;
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string at = std::to_string(lineNumber);
        if (line.empty()) {
            why = said(CliText::NamesLineEmpty, {at});
            return std::nullopt;
        }
        const std::optional<std::string> name = utf8 ? utf8ToWin1252(line) : std::string(line);
        if (!name) {
            why = said(CliText::NamesLineNotWindows1252, {at, line});
            return std::nullopt;
        }
        if (std::string problem = nameProblem(*name); !problem.empty()) {
            why = said(CliText::NamesLine, {at, problem});
            return std::nullopt;
        }
        naming.names_.push_back(*name);
    }
    if (naming.names_.empty()) {
        why = said(CliText::NamesNone);
        return std::nullopt;
    }
    return naming;
}

std::optional<SeriesNaming> SeriesNaming::pattern(std::string_view text, unsigned first, std::string& why)
{
    const std::size_t open = text.find('{');
    const std::size_t close = text.find('}', open == std::string_view::npos ? 0 : open);
    const std::string_view field =
        open == std::string_view::npos || close == std::string_view::npos ? std::string_view()
                                                                          : text.substr(open, close - open + 1);
    SeriesNaming naming;
    naming.kind_ = Kind::Pattern;
    naming.first_ = first;
    bool known = field == "{n}";
    if (field.size() == 6 && field.substr(0, 4) == "{n:0" && field[4] >= '1' && field[4] <= '9' && field[5] == '}') {
        naming.width_ = static_cast<unsigned>(field[4] - '0');
        known = true;
    }
    const std::string_view rest = close == std::string_view::npos ? text : text.substr(close + 1);
    if (!known || rest.find_first_of("{}") != std::string_view::npos ||
        text.substr(0, open == std::string_view::npos ? text.size() : open).find('}') != std::string_view::npos) {
        why = said(CliText::PatternBraces, {text});
        return std::nullopt;
    }
    const std::optional<std::string> before = utf8ToWin1252(text.substr(0, open));
    const std::optional<std::string> after = utf8ToWin1252(rest);
    if (!before || !after) {
        why = said(CliText::PatternNotWindows1252, {text});
        return std::nullopt;
    }
    naming.before_ = *before;
    naming.after_ = *after;
    if (!naming.nameFor(1, why))
        return std::nullopt;
    return naming;
}

std::optional<unsigned> SeriesNaming::size() const
{
    if (kind_ == Kind::List)
        return static_cast<unsigned>(names_.size());
    return std::nullopt;
}

std::optional<std::string> SeriesNaming::nameFor(unsigned n, std::string& why) const
{
    switch (kind_) {
    case Kind::List:
        if (n >= 1 && n <= names_.size())
            return names_[n - 1];
        why = said(CliText::NamesListTooShort, {std::to_string(n)});
        return std::nullopt;
    case Kind::Pattern: {
        const unsigned value = first_ + n - 1;
        std::string digits = std::to_string(value);
        if (digits.size() < width_)
            digits.insert(0, width_ - digits.size(), '0');
        std::string name = before_ + digits + after_;
        if (std::string problem = nameProblem(name); !problem.empty()) {
            why = said(CliText::PatternNameProblem, {std::to_string(value), problem});
            return std::nullopt;
        }
        return name;
    }
    case Kind::FromFile:
    case Kind::KeepOwn: break;
    }
    return std::nullopt;
}

}  // namespace harvelin::cli
