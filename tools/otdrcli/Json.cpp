#include "Json.h"

#include <charconv>
#include <cmath>

JsonWriter& JsonWriter::beginObject() { return open('{'); }
JsonWriter& JsonWriter::endObject() { return close('}'); }
JsonWriter& JsonWriter::beginArray() { return open('['); }
JsonWriter& JsonWriter::endArray() { return close(']'); }

void JsonWriter::newline()
{
    if (m_indent <= 0)
        return;
    m_out += '\n';
    m_out.append(m_levels.size() * static_cast<std::size_t>(m_indent), ' ');
}

void JsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_levels.empty()) {
        if (!m_levels.back().empty)
            m_out += ',';
        m_levels.back().empty = false;
        newline();
    }
}

JsonWriter& JsonWriter::open(char bracket)
{
    beforeValue();
    m_out += bracket;
    m_levels.push_back({bracket == '{'});
    return *this;
}

JsonWriter& JsonWriter::close(char bracket)
{
    if (m_levels.empty())
        return *this;
    const bool empty = m_levels.back().empty;
    m_levels.pop_back();
    if (!empty)
        newline();
    m_out += bracket;
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name)
{
    beforeValue();
    appendQuoted(m_out, name);
    m_out += m_indent > 0 ? ": " : ":";
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text)
{
    beforeValue();
    appendQuoted(m_out, text);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag)
{
    beforeValue();
    m_out += flag ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null()
{
    beforeValue();
    m_out += "null";
    return *this;
}

namespace {

// Shortest text that reads back as the same number; JSON has no NaN or infinity.
template <typename F>
void appendNumber(std::string& out, F number)
{
    if (!std::isfinite(number)) {
        out += "null";
        return;
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    out.append(buffer, result.ptr);
}

} // namespace

JsonWriter& JsonWriter::value(double number)
{
    beforeValue();
    appendNumber(m_out, number);
    return *this;
}

JsonWriter& JsonWriter::value(float number)
{
    beforeValue();
    appendNumber(m_out, number);
    return *this;
}

JsonWriter& JsonWriter::integer(int64_t number)
{
    beforeValue();
    m_out += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::unsignedInteger(uint64_t number)
{
    beforeValue();
    m_out += std::to_string(number);
    return *this;
}

void JsonWriter::appendQuoted(std::string& out, std::string_view text)
{
    static const char hex[] = "0123456789abcdef";
    auto escapeCode = [&](unsigned code) {
        out += "\\u00";
        out += hex[(code >> 4) & 0xF];
        out += hex[code & 0xF];
    };
    out += '"';
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            default:
                if (c < 0x20 || c == 0x7F)
                    escapeCode(c);
                else
                    out += static_cast<char>(c);
            }
            ++i;
            continue;
        }
        // A well-formed UTF-8 sequence passes through; any other byte is a Latin-1 character.
        std::size_t len = 0;
        unsigned code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            code = c & 0x07;
        }
        bool valid = len > 0 && i + len <= text.size();
        for (std::size_t k = 1; valid && k < len; ++k) {
            const auto cc = static_cast<unsigned char>(text[i + k]);
            valid = (cc & 0xC0) == 0x80;
            code = (code << 6) | (cc & 0x3F);
        }
        // Reject overlong forms, surrogates and code points beyond U+10FFFF.
        if (valid)
            valid = !(len == 3 && code < 0x800) && !(len == 4 && (code < 0x10000 || code > 0x10FFFF))
                && !(code >= 0xD800 && code <= 0xDFFF);
        if (valid) {
            out.append(text.substr(i, len));
            i += len;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
            ++i;
        }
    }
    out += '"';
}
