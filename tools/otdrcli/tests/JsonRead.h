// A strict JSON reader for checking otdrcli's output in tests: any deviation from the grammar
// makes parse() fail.
#pragma once

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct JsonValue {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool flag = false;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members; // in written order

    const JsonValue& operator[](std::string_view name) const
    {
        static const JsonValue missing;
        for (const auto& [k, v] : members)
            if (k == name)
                return v;
        return missing;
    }
    const JsonValue& operator[](std::size_t i) const { return items.at(i); }
};

class JsonReader {
public:
    static std::optional<JsonValue> parse(std::string_view text)
    {
        JsonReader r(text);
        JsonValue v;
        if (!r.value(v, 0))
            return std::nullopt;
        r.space();
        if (r.m_pos != text.size())
            return std::nullopt;
        return v;
    }

private:
    explicit JsonReader(std::string_view t) : m_t(t) {}
    void space()
    {
        while (m_pos < m_t.size() && (m_t[m_pos] == ' ' || m_t[m_pos] == '\n' || m_t[m_pos] == '\r' || m_t[m_pos] == '\t'))
            ++m_pos;
    }
    bool eat(char c)
    {
        space();
        if (m_pos < m_t.size() && m_t[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool literal(std::string_view word)
    {
        if (m_t.substr(m_pos, word.size()) != word)
            return false;
        m_pos += word.size();
        return true;
    }
    bool string(std::string& out)
    {
        if (!eat('"'))
            return false;
        while (m_pos < m_t.size()) {
            const unsigned char c = static_cast<unsigned char>(m_t[m_pos++]);
            if (c == '"')
                return true;
            if (c < 0x20)
                return false;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (m_pos >= m_t.size())
                return false;
            const char e = m_t[m_pos++];
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                if (m_pos + 4 > m_t.size())
                    return false;
                const std::string hex(m_t.substr(m_pos, 4));
                char* end = nullptr;
                const long code = std::strtol(hex.c_str(), &end, 16);
                if (end != hex.c_str() + 4)
                    return false;
                m_pos += 4;
                if (code < 0x80) {
                    out += static_cast<char>(code);
                } else if (code < 0x800) {
                    out += static_cast<char>(0xC0 | (code >> 6));
                    out += static_cast<char>(0x80 | (code & 0x3F));
                } else {
                    out += static_cast<char>(0xE0 | (code >> 12));
                    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                    out += static_cast<char>(0x80 | (code & 0x3F));
                }
                break;
            }
            default: return false;
            }
        }
        return false;
    }
    bool number(double& out)
    {
        const std::size_t start = m_pos;
        auto digits = [&] {
            const std::size_t s = m_pos;
            while (m_pos < m_t.size() && m_t[m_pos] >= '0' && m_t[m_pos] <= '9')
                ++m_pos;
            return m_pos > s;
        };
        if (m_pos < m_t.size() && m_t[m_pos] == '-')
            ++m_pos;
        if (m_pos < m_t.size() && m_t[m_pos] == '0')
            ++m_pos;
        else if (!digits())
            return false;
        if (m_pos < m_t.size() && m_t[m_pos] == '.') {
            ++m_pos;
            if (!digits())
                return false;
        }
        if (m_pos < m_t.size() && (m_t[m_pos] == 'e' || m_t[m_pos] == 'E')) {
            ++m_pos;
            if (m_pos < m_t.size() && (m_t[m_pos] == '+' || m_t[m_pos] == '-'))
                ++m_pos;
            if (!digits())
                return false;
        }
        out = std::strtod(std::string(m_t.substr(start, m_pos - start)).c_str(), nullptr);
        return true;
    }
    bool value(JsonValue& v, int depth)
    {
        if (depth > 64)
            return false;
        space();
        if (m_pos >= m_t.size())
            return false;
        const char c = m_t[m_pos];
        if (c == '{') {
            ++m_pos;
            v.kind = JsonValue::Object;
            if (eat('}'))
                return true;
            do {
                std::string key;
                JsonValue item;
                if (!string(key) || !eat(':') || !value(item, depth + 1))
                    return false;
                v.members.emplace_back(std::move(key), std::move(item));
            } while (eat(','));
            return eat('}');
        }
        if (c == '[') {
            ++m_pos;
            v.kind = JsonValue::Array;
            if (eat(']'))
                return true;
            do {
                JsonValue item;
                if (!value(item, depth + 1))
                    return false;
                v.items.push_back(std::move(item));
            } while (eat(','));
            return eat(']');
        }
        if (c == '"') {
            v.kind = JsonValue::String;
            return string(v.text);
        }
        if (literal("true")) {
            v.kind = JsonValue::Bool;
            v.flag = true;
            return true;
        }
        if (literal("false")) {
            v.kind = JsonValue::Bool;
            return true;
        }
        if (literal("null"))
            return true;
        v.kind = JsonValue::Number;
        return number(v.number);
    }

    std::string_view m_t;
    std::size_t m_pos = 0;
};
