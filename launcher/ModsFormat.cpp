#include "ModsFormat.h"

#include <charconv>

#include "../text/NumberText.h"

namespace {

// Walks the text line by line; a line ends at LF, and a CR right before that LF is dropped.
class LineReader {
public:
    explicit LineReader(std::wstring_view text) : text_(text) {}
    bool AtEnd() const { return pos_ >= text_.size(); }
    std::wstring_view Rest() const { return text_.substr(pos_); }
    std::wstring_view Next() {
        const std::size_t end = text_.find(L'\n', pos_);
        std::wstring_view line =
            text_.substr(pos_, end == std::wstring_view::npos ? std::wstring_view::npos : end - pos_);
        pos_ = end == std::wstring_view::npos ? text_.size() : end + 1;
        if (end != std::wstring_view::npos && !line.empty() && line.back() == L'\r') line.remove_suffix(1);
        return line;
    }

private:
    std::wstring_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

ParsedCatalogue ParseCatalogue(std::wstring_view text, std::size_t capacity) {
    ParsedCatalogue result;
    LineReader reader(text);
    while (!reader.AtEnd()) {
        const std::wstring_view rest = reader.Rest();
        const std::wstring_view idLine = reader.Next();
        if (reader.AtEnd()) break;
        const std::wstring_view nameLine = reader.Next();
        if (reader.AtEnd()) break;
        const std::wstring_view pathLine = reader.Next();
        if (result.entries.size() == capacity) {
            result.bTruncated = true;
            result.unlisted = rest;
            break;
        }
        cMod mod;
        mod.iID(ParseInt16(idLine).value_or(0));
        mod.sName(std::wstring(nameLine));
        mod.Path(std::wstring(pathLine));
        result.entries.push_back(std::move(mod));
    }
    return result;
}

std::wstring FormatCatalogue(const cMod* entries, std::size_t count) {
    // Sized once and written in place: a whole catalogue is rewritten on every addition.
    constexpr std::size_t kLongestId = 6;  // "-32768"
    std::size_t size = 0;
    for (std::size_t i = 0; i < count; ++i)
        size += kLongestId + entries[i].sName().size() + entries[i].Path().size() + 6;
    std::wstring text;
    text.reserve(size);
    for (std::size_t i = 0; i < count; ++i) {
        char id[kLongestId + 1];
        const char* idEnd = std::to_chars(id, id + sizeof id, entries[i].iID()).ptr;
        text.append(static_cast<const char*>(id), idEnd).append(L"\r\n");
        text.append(entries[i].sName()).append(L"\r\n");
        text.append(entries[i].Path()).append(L"\r\n");
    }
    return text;
}
