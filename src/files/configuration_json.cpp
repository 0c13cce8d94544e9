#include "files/configuration_json.h"

#include <algorithm>
#include <bitset>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <span>
#include <string>
#include <tuple>

#include "files/texts.h"
#include "model/configuration_rule.h"
#include "model/win1252.h"

namespace harvelin {

namespace {

using Json = nlohmann::json;

// Hands the parser one byte after the other and notes how far it has read,
// so every value can be traced back to its place in the text.
class TracingIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    TracingIterator(const char* at, const char** furthest) : at_(at), furthest_(furthest) {}
    reference operator*() const { return *at_; }
    TracingIterator& operator++()
    {
        *furthest_ = ++at_;
        return *this;
    }
    TracingIterator operator++(int)
    {
        TracingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const TracingIterator& other) const { return at_ == other.at_; }
    bool operator!=(const TracingIterator& other) const { return at_ != other.at_; }

private:
    const char* at_;
    const char** furthest_;
};

// A configuration is three levels deep (the object, a list of slots, a
// slot); anything much deeper is no configuration, and is refused before
// it costs more than a few levels.
constexpr std::size_t MaxDepth = 16;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Builds the document and remembers where each value and each key starts,
// by its JSON pointer ("/callers/6/text"), and which keys an object names
// twice.
class PlacingParser {
public:
    PlacingParser(Json& result, const char* begin, const char** furthest)
        : dom_(result, false), begin_(begin), furthest_(furthest), lastEnd_(begin)
    {
    }

    bool null() { return value(dom_.null()); }
    bool boolean(bool v) { return value(dom_.boolean(v)); }
    bool number_integer(Json::number_integer_t v) { return value(dom_.number_integer(v)); }
    bool number_unsigned(Json::number_unsigned_t v) { return value(dom_.number_unsigned(v)); }
    bool number_float(Json::number_float_t v, const Json::string_t& s) { return value(dom_.number_float(v, s)); }
    bool string(Json::string_t& v) { return value(dom_.string(v)); }
    bool binary(Json::binary_t& v) { return value(dom_.binary(v)); }
    bool start_object(std::size_t n)
    {
        enter();
        if (tooDeep())
            return false;
        path_.push_back({false, {}, 0, 0, {}});
        return seen(dom_.start_object(n));
    }
    bool key(Json::string_t& k)
    {
        Level& level = path_.back();
        level.key = k;
        const char* at = lastEnd_;
        while (at < *furthest_ && (isBlank(*at) || *at == ','))
            ++at;
        const auto offset = static_cast<std::size_t>(at - begin_);
        const auto [first, fresh] = level.keys.emplace(k, offset);
        if (fresh)
            keyPlaces[pointer()] = offset;
        else
            repeated.push_back({k, offset, first->second});
        return seen(dom_.key(k));
    }
    bool end_object()
    {
        path_.pop_back();
        return seen(dom_.end_object());
    }
    bool start_array(std::size_t n)
    {
        enter();
        if (tooDeep())
            return false;
        path_.push_back({true, {}, 0, 0, {}});
        return seen(dom_.start_array(n));
    }
    bool end_array()
    {
        path_.pop_back();
        return seen(dom_.end_array());
    }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e)
    {
        errorAt = position;
        // The parser's own text names the place again; the line and column
        // are given in front of it anyway.
        errorText = e.what();
        const std::size_t column = errorText.find("column ");
        const std::size_t colon = errorText.find(": ", column == std::string::npos ? 0 : column);
        if (colon != std::string::npos)
            errorText.erase(0, colon + 2);
        // It quotes what it read last, which may be a whole long string.
        constexpr std::string_view LastRead = "last read: '";
        const std::size_t token = errorText.find(LastRead);
        if (token != std::string::npos && errorText.ends_with('\'')) {
            const std::size_t from = token + LastRead.size();
            errorText = errorText.substr(0, from) +
                        shownInMessage(std::string_view(errorText).substr(from, errorText.size() - from - 1), true) +
                        "'";
        }
        return false;
    }

    struct Repeat {
        std::string key;
        std::size_t at;
        std::size_t first;
    };

    std::map<std::string, std::size_t> places;     // JSON pointer -> offset of the value
    std::map<std::string, std::size_t> keyPlaces;  // JSON pointer -> offset of its key
    std::vector<Repeat> repeated;
    std::optional<std::size_t> errorAt;
    std::string errorText;

private:
    struct Level {
        bool array;
        std::string key;
        std::size_t next;     // elements of an array so far
        std::size_t current;  // the element being read
        std::map<std::string, std::size_t> keys;  // of an object so far, with their offsets
    };

    // The container just entered would go beyond MaxDepth.
    bool tooDeep()
    {
        if (path_.size() < MaxDepth)
            return false;
        errorAt = places[pointer()] + 1;
        errorText = localizedUtf8(FilesText::NestedTooDeep, {std::to_string(MaxDepth)});
        return true;
    }

    std::string pointer() const
    {
        std::string p;
        for (const Level& l : path_)
            p += "/" + (l.array ? std::to_string(l.current) : l.key);
        return p;
    }

    // The value starts at the first byte after the previous token that is
    // neither a blank nor a separator.
    void place()
    {
        const char* at = lastEnd_;
        while (at < *furthest_ && (isBlank(*at) || *at == ':' || *at == ','))
            ++at;
        places[pointer()] = static_cast<std::size_t>(at - begin_);
    }

    bool seen(bool ok)
    {
        lastEnd_ = *furthest_;
        return ok;
    }

    // A value or container begins: it takes the next place of an array.
    void enter()
    {
        if (!path_.empty() && path_.back().array)
            path_.back().current = path_.back().next++;
        place();
    }

    bool value(bool ok)
    {
        enter();
        return seen(ok);
    }

    nlohmann::detail::json_sax_dom_parser<Json> dom_;
    const char* begin_;
    const char** furthest_;
    const char* lastEnd_;
    std::vector<Level> path_;
};

// Takes the values of the document, noting each problem at the offset of
// the value or key it concerns; lines and columns are counted once at the
// end, in one pass over the text however many problems there are.
class Importer {
public:
    explicit Importer(const PlacingParser& parser) : parser_(parser) {}

    void problem(const std::string& pointer, std::string what)
    {
        const auto found = parser_.places.find(pointer);
        problemAt(found == parser_.places.end() ? 0 : found->second, std::move(what));
    }
    void problemAt(std::size_t offset, std::string what) { found_.push_back({offset, std::move(what)}); }

    // Every key of the object at `pointer` must be one of `known`.
    void onlyKnownKeys(const Json& object, const std::string& pointer, std::span<const std::string_view> known)
    {
        for (const auto& [key, value] : object.items()) {
            if (std::find(known.begin(), known.end(), key) != known.end())
                continue;
            const auto found = parser_.keyPlaces.find(pointer + "/" + key);
            problemAt(found == parser_.keyPlaces.end() ? 0 : found->second,
                      localizedUtf8(FilesText::NoSuchKey,
                               {shownInMessage(Json(key).dump(), true), csv::didYouMean(key, known)}));
        }
    }

    // A text for `field`, in Windows-1252, as the rule allows it.
    std::optional<std::string> text(const Json& j, const std::string& pointer, Field field)
    {
        if (!j.is_string()) {
            problem(pointer, localizedUtf8(FilesText::NoQuotedText, {shown(j)}));
            return std::nullopt;
        }
        const std::string& utf8 = j.get_ref<const std::string&>();
        const auto bytes = utf8ToWin1252(utf8);
        if (!bytes) {
            problem(pointer, localizedUtf8(FilesText::NotShowableCell, {"\"" + shownInMessage(utf8, true) + "\""}));
            return std::nullopt;
        }
        if (const auto p = checkText(field, *bytes)) {
            problem(pointer, win1252ToUtf8(describe(*p)));
            return std::nullopt;
        }
        return bytes;
    }

    // The call button's identity: a whole number of 32 bits.
    std::optional<std::uint32_t> identity(const Json& j, const std::string& pointer)
    {
        constexpr std::uint64_t Max = 0xFFFFFFFF;
        if (j.is_number_unsigned() && j.get<std::uint64_t>() <= Max)
            return static_cast<std::uint32_t>(j.get<std::uint64_t>());
        problem(pointer, localizedUtf8(FilesText::NoNumberUpTo, {shown(j), std::to_string(Max)}));
        return std::nullopt;
    }

    // A byte 0..255 for `field`, as the rule allows it.
    std::optional<std::uint8_t> byte(const Json& j, const std::string& pointer, Field field)
    {
        std::uint8_t value = 0;
        if (!j.is_number()) {
            problem(pointer, localizedUtf8(FilesText::NoNumberUpTo, {shown(j), "255"}));
            return std::nullopt;
        }
        // A number as JSON writes it is judged as the same digits in a table.
        if (const auto p = checkByte(field, j.dump(), value)) {
            problem(pointer, win1252ToUtf8(describe(*p)));
            return std::nullopt;
        }
        return value;
    }

    std::optional<bool> flag(const Json& j, const std::string& pointer)
    {
        if (j.is_boolean())
            return j.get<bool>();
        problem(pointer, localizedUtf8(FilesText::NeitherTrueNorFalse, {shown(j)}));
        return std::nullopt;
    }

    // A key given twice: `key` as a message shows it, and where it came first.
    void repeatedKeyAt(std::size_t offset, std::string key, std::size_t earlier)
    {
        found_.push_back({offset, std::move(key), earlier});
    }

    // The problems in the order of the text, with their lines and columns.
    std::vector<csv::Problem> problems(std::string_view text)
    {
        std::stable_sort(found_.begin(), found_.end(),
                         [](const Found& a, const Found& b) { return a.offset < b.offset; });
        std::map<std::size_t, std::pair<std::size_t, std::size_t>> places;
        for (const Found& f : found_) {
            places[f.offset];
            if (f.earlier)
                places[*f.earlier];
        }
        std::size_t line = 1;
        std::size_t column = 1;
        std::size_t i = 0;
        for (auto& [offset, place] : places) {
            for (; i < offset && i < text.size(); ++i) {
                if (text[i] == '\n') {
                    ++line;
                    column = 1;
                } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
                    ++column;  // a character, not a UTF-8 continuation byte
                }
            }
            place = {line, column};
        }
        std::vector<csv::Problem> out;
        for (Found& f : found_) {
            const auto [l, c] = places[f.offset];
            if (f.earlier) {
                const auto [el, ec] = places[*f.earlier];
                f.what = localizedUtf8(FilesText::KeyAppearsAlready, {f.what, std::to_string(el), std::to_string(ec)});
            }
            out.push_back({l, c, std::move(f.what)});
        }
        return out;
    }

private:
    struct Found {
        std::size_t offset;
        std::string what;
        std::optional<std::size_t> earlier = std::nullopt;
    };

    // A value as a message shows it: a container by its kind, anything else
    // as written, cut short where it is long.
    static std::string shown(const Json& j)
    {
        if (j.is_array())
            return std::string(localizedUtf8(FilesText::AList));
        if (j.is_object())
            return std::string(localizedUtf8(FilesText::AnObject));
        return shownInMessage(j.dump(), true);
    }

    const PlacingParser& parser_;
    std::vector<Found> found_;
};

constexpr std::string_view TopKeys[] = {"pagerName", "remoteDeleteText", "battery",     "buzzer",
                                        "remoteDelete", "callers",       "kitchenCalls"};
constexpr std::string_view CallerKeys[] = {"text", "buttonId", "idSuffix"};
constexpr std::string_view KitchenKeys[] = {"text", "key", "station"};

// Reads a list of slots into `entries`, noting each slot it holds in
// `covered`.*`held`.
template <typename Entry, std::size_t N, typename ReadOne>
void readSlots(Importer& in, const Json& slots, const std::string& name, Field slotField, std::size_t count,
               std::span<const std::string_view> keys, Entry& entries, FileCoverage& covered,
               std::bitset<N> FileCoverage::*held, ReadOne readOne)
{
    if (!slots.is_array()) {
        in.problem("/" + name, std::string(localizedUtf8(FilesText::ListOfSlotsExpected)));
        return;
    }
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const std::string pointer = "/" + name + "/" + std::to_string(i);
        if (i >= count) {
            in.problem(pointer, win1252ToUtf8(describe(Problem{slotField, Fault::OutOfRange, std::to_string(i + 1), 1,
                                                               static_cast<unsigned>(count), 0})));
        } else if (!slots[i].is_object()) {
            in.problem(pointer, std::string(localizedUtf8(FilesText::SlotInBracesExpected)));
        } else {
            in.onlyKnownKeys(slots[i], pointer, keys);
            readOne(slots[i], pointer, entries[i]);
            covered.hold(held, i);
        }
    }
}

}  // namespace

std::string configurationJson(const PagerConfiguration& config)
{
    nlohmann::ordered_json j;
    j["pagerName"] = win1252ToUtf8(config.pagerName);
    j["remoteDeleteText"] = win1252ToUtf8(config.remoteDeleteText);
    j["battery"] = config.battery;
    j["buzzer"] = config.buzzer;
    j["remoteDelete"] = config.remoteDelete;
    auto callers = nlohmann::ordered_json::array();
    for (const CallerEntry& slot : config.image.callers) {
        callers.push_back({{"text", win1252ToUtf8(slot.text.str())},
                           {"buttonId", slot.buttonIdValue()},
                           {"idSuffix", slot.idSuffix}});
    }
    j["callers"] = std::move(callers);
    auto kitchen = nlohmann::ordered_json::array();
    for (const KitchenCallEntry& slot : config.image.kitchenCalls) {
        kitchen.push_back(
            {{"text", win1252ToUtf8(slot.text.str())}, {"key", slot.key}, {"station", slot.station}});
    }
    j["kitchenCalls"] = std::move(kitchen);
    return j.dump(2) + "\n";
}


std::vector<csv::Problem> configurationFromJson(std::string_view json, PagerConfiguration& config,
                                                FileCoverage* coverage)
{
    FileCoverage unused;
    FileCoverage& covered = coverage ? *coverage : unused;
    if (std::all_of(json.begin(), json.end(), isBlank))
        return {{1, 1, std::string(localizedUtf8(FilesText::EmptyJson))}};
    Json doc;
    const char* furthest = json.data();
    PlacingParser parser(doc, json.data(), &furthest);
    const bool parsed = Json::sax_parse(TracingIterator(json.data(), &furthest),
                                        TracingIterator(json.data() + json.size(), &furthest), &parser);
    Importer in(parser);
    if (!parsed) {
        in.problemAt(parser.errorAt.value_or(1) - 1, parser.errorText);
        return in.problems(json);
    }
    if (!doc.is_object()) {
        const FilesText notAnObject = doc.is_array() ? FilesText::ObjectNotList : FilesText::ObjectNotValue;
        in.problem("", std::string(localizedUtf8(notAnObject)));
        return in.problems(json);
    }
    for (const PlacingParser::Repeat& r : parser.repeated)
        in.repeatedKeyAt(r.at, shownInMessage(Json(r.key).dump(), true), r.first);
    in.onlyKnownKeys(doc, "", TopKeys);
    // Every key is counted once, whatever its value: a problem refuses the
    // whole object anyway.
    const auto given = [&](const char* name, bool FileCoverage::*line) {
        if (!doc.contains(name))
            return false;
        covered.hold(line);
        return true;
    };
    if (given("pagerName", &FileCoverage::pagerName))
        if (auto t = in.text(doc["pagerName"], "/pagerName", Field::PagerName))
            config.pagerName = *t;
    if (given("remoteDeleteText", &FileCoverage::remoteDeleteText))
        if (auto t = in.text(doc["remoteDeleteText"], "/remoteDeleteText", Field::RemoteDeleteText))
            config.remoteDeleteText = *t;
    const std::tuple<const char*, bool PagerConfiguration::*, bool FileCoverage::*> flags[] = {
        {"battery", &PagerConfiguration::battery, &FileCoverage::battery},
        {"buzzer", &PagerConfiguration::buzzer, &FileCoverage::buzzer},
        {"remoteDelete", &PagerConfiguration::remoteDelete, &FileCoverage::remoteDeleteMode}};
    for (const auto& [name, member, line] : flags)
        if (given(name, line))
            if (auto on = in.flag(doc[name], std::string("/") + name))
                config.*member = *on;
    if (doc.contains("callers"))
        readSlots(in, doc["callers"], "callers", Field::CallerSlot, CallerSlots, CallerKeys, config.image.callers,
                  covered, &FileCoverage::callers, [&in](const Json& j, const std::string& p, CallerEntry& slot) {
                      const auto text = j.contains("text") ? in.text(j["text"], p + "/text", Field::CallerText)
                                                           : std::optional<std::string>(slot.text.str());
                      const auto id = j.contains("buttonId") ? in.identity(j["buttonId"], p + "/buttonId")
                                                             : std::optional<std::uint32_t>(slot.buttonIdValue());
                      const auto suffix = j.contains("idSuffix")
                                              ? in.byte(j["idSuffix"], p + "/idSuffix", Field::IdentityByte)
                                              : std::optional<std::uint8_t>(slot.idSuffix);
                      if (!text || !id || !suffix)
                          return;
                      slot.text.assign(*text);
                      slot.setButtonIdValue(*id);
                      slot.idSuffix = *suffix;
                  });
    if (doc.contains("kitchenCalls"))
        readSlots(in, doc["kitchenCalls"], "kitchenCalls", Field::KitchenSlot, KitchenSlots, KitchenKeys,
                  config.image.kitchenCalls, covered, &FileCoverage::kitchenCalls,
                  [&in](const Json& j, const std::string& p, KitchenCallEntry& slot) {
                      const auto text = j.contains("text") ? in.text(j["text"], p + "/text", Field::KitchenText)
                                                           : std::optional<std::string>(slot.text.str());
                      const auto key = j.contains("key") ? in.byte(j["key"], p + "/key", Field::Key)
                                                         : std::optional<std::uint8_t>(slot.key);
                      const auto station = j.contains("station") ? in.byte(j["station"], p + "/station", Field::Station)
                                                                 : std::optional<std::uint8_t>(slot.station);
                      if (!text || !key || !station)
                          return;
                      slot.text.assign(*text);
                      slot.key = *key;
                      slot.station = *station;
                  });
    return in.problems(json);
}

}  // namespace harvelin
