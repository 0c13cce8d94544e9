#include "files/configuration_json.h"

#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

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

// Builds the document and remembers where each value starts, by its JSON
// pointer ("/callers/6/text").
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
        path_.push_back({false, {}, 0, 0});
        return seen(dom_.start_object(n));
    }
    bool key(Json::string_t& k)
    {
        path_.back().key = k;
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
        path_.push_back({true, {}, 0, 0});
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
        return false;
    }

    std::map<std::string, std::size_t> places;  // JSON pointer -> offset
    std::optional<std::size_t> errorAt;
    std::string errorText;

private:
    struct Level {
        bool array;
        std::string key;
        std::size_t next;     // elements of an array so far
        std::size_t current;  // the element being read
    };

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
        while (at < *furthest_ && (*at == ' ' || *at == '\t' || *at == '\r' || *at == '\n' || *at == ':' || *at == ','))
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

// Arrays count their elements when each one ends; containers as elements
// need the count too.
class Importer {
public:
    Importer(std::string_view text, const std::map<std::string, std::size_t>& places, std::vector<csv::Problem>& out)
        : text_(text), places_(places), problems_(out)
    {
    }

    void problem(const std::string& pointer, const std::string& what) { problems_.push_back(at(placeOf(pointer), what)); }

    csv::Problem at(std::size_t offset, const std::string& what) const
    {
        std::size_t line = 1;
        std::size_t column = 1;
        for (std::size_t i = 0; i < offset && i < text_.size(); ++i) {
            if (text_[i] == '\n') {
                ++line;
                column = 1;
            } else if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) {
                ++column;  // a character, not a UTF-8 continuation byte
            }
        }
        return {line, column, what};
    }

    std::optional<std::string> text(const Json& j, const std::string& pointer, std::size_t max)
    {
        if (!j.is_string()) {
            problem(pointer, "a text in quotes is expected");
            return std::nullopt;
        }
        const std::string& utf8 = j.get_ref<const std::string&>();
        const auto bytes = utf8ToWin1252(utf8);
        if (bytes && csv::holdsControlCharacter(*bytes))
            problem(pointer, "\"" + utf8 + "\" holds a line break or another control character");
        else if (!bytes)
            problem(pointer, "\"" + utf8 + "\" holds a character that the pager cannot show");
        else if (bytes->size() > max)
            problem(pointer, "\"" + utf8 + "\" is longer than " + std::to_string(max) + " characters");
        else
            return bytes;
        return std::nullopt;
    }

    std::optional<std::uint32_t> number(const Json& j, const std::string& pointer, std::uint32_t max)
    {
        if (j.is_number_unsigned() && j.get<std::uint64_t>() <= max)
            return static_cast<std::uint32_t>(j.get<std::uint64_t>());
        problem(pointer, j.dump() + " is not a number from 0 to " + std::to_string(max));
        return std::nullopt;
    }

    std::optional<bool> flag(const Json& j, const std::string& pointer)
    {
        if (j.is_boolean())
            return j.get<bool>();
        problem(pointer, "true or false is expected");
        return std::nullopt;
    }

private:
    std::size_t placeOf(const std::string& pointer) const
    {
        const auto found = places_.find(pointer);
        return found == places_.end() ? 0 : found->second;
    }

    std::string_view text_;
    const std::map<std::string, std::size_t>& places_;
    std::vector<csv::Problem>& problems_;
};

template <typename Entry, typename ReadOne>
void readSlots(Importer& in, const Json& slots, const std::string& name, std::size_t count, Entry& entries,
               ReadOne readOne)
{
    if (!slots.is_array()) {
        in.problem("/" + name, "a list of slots is expected");
        return;
    }
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const std::string pointer = "/" + name + "/" + std::to_string(i);
        if (i >= count)
            in.problem(pointer, "slot " + std::to_string(i + 1) + " is out of range 1.." + std::to_string(count));
        else if (!slots[i].is_object())
            in.problem(pointer, "a slot in braces is expected");
        else
            readOne(slots[i], pointer, entries[i]);
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


std::vector<csv::Problem> configurationFromJson(std::string_view json, PagerConfiguration& config)
{
    std::vector<csv::Problem> problems;
    Json doc;
    const char* furthest = json.data();
    PlacingParser parser(doc, json.data(), &furthest);
    const bool parsed = Json::sax_parse(TracingIterator(json.data(), &furthest),
                                        TracingIterator(json.data() + json.size(), &furthest), &parser);
    Importer in(json, parser.places, problems);
    if (!parsed || !doc.is_object()) {
        problems.push_back(in.at(parser.errorAt.value_or(1) - 1, parsed ? "a JSON object is expected" : parser.errorText));
        return problems;
    }
    if (doc.contains("pagerName"))
        if (auto t = in.text(doc["pagerName"], "/pagerName", PagerDataFile::PagerNameMax))
            config.pagerName = *t;
    if (doc.contains("remoteDeleteText"))
        if (auto t = in.text(doc["remoteDeleteText"], "/remoteDeleteText", PagerDataFile::RemoteDeleteTextMax))
            config.remoteDeleteText = *t;
    const std::pair<const char*, bool PagerConfiguration::*> flags[] = {
        {"battery", &PagerConfiguration::battery},
        {"buzzer", &PagerConfiguration::buzzer},
        {"remoteDelete", &PagerConfiguration::remoteDelete}};
    for (const auto& [name, member] : flags)
        if (doc.contains(name))
            if (auto on = in.flag(doc[name], std::string("/") + name))
                config.*member = *on;
    if (doc.contains("callers"))
        readSlots(in, doc["callers"], "callers", PagerImage::CallerSlots, config.image.callers,
                  [&in](const Json& j, const std::string& p, CallerEntry& slot) {
                      const auto text = j.contains("text") ? in.text(j["text"], p + "/text", SlotText::MaxChars)
                                                           : std::optional<std::string>(slot.text.str());
                      const auto id = j.contains("buttonId") ? in.number(j["buttonId"], p + "/buttonId", 0xFFFFFFFF)
                                                             : std::optional<std::uint32_t>(slot.buttonIdValue());
                      const auto suffix = j.contains("idSuffix") ? in.number(j["idSuffix"], p + "/idSuffix", 255)
                                                                 : std::optional<std::uint32_t>(slot.idSuffix);
                      if (!text || !id || !suffix)
                          return;
                      slot.text.assign(*text);
                      slot.setButtonIdValue(*id);
                      slot.idSuffix = static_cast<std::uint8_t>(*suffix);
                  });
    if (doc.contains("kitchenCalls"))
        readSlots(in, doc["kitchenCalls"], "kitchenCalls", PagerImage::KitchenSlots, config.image.kitchenCalls,
                  [&in](const Json& j, const std::string& p, KitchenCallEntry& slot) {
                      const auto text = j.contains("text") ? in.text(j["text"], p + "/text", SlotText::MaxChars)
                                                           : std::optional<std::string>(slot.text.str());
                      const auto key = j.contains("key") ? in.number(j["key"], p + "/key", 255)
                                                         : std::optional<std::uint32_t>(slot.key);
                      const auto station = j.contains("station") ? in.number(j["station"], p + "/station", 255)
                                                                 : std::optional<std::uint32_t>(slot.station);
                      if (!text || !key || !station)
                          return;
                      slot.text.assign(*text);
                      slot.key = static_cast<std::uint8_t>(*key);
                      slot.station = static_cast<std::uint8_t>(*station);
                  });
    return problems;
}

}  // namespace harvelin
