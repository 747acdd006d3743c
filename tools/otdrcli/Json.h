// A small JSON writer for otdrcli's output: escaped strings, numbers that are always valid JSON
// (non-finite values are written as null), commas and indentation handled by the writer.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class JsonWriter {
public:
    // indent 0 writes everything on one line.
    explicit JsonWriter(int indent = 2) : m_indent(indent) {}

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The name of the next member of the current object.
    JsonWriter& key(std::string_view name);

    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(const std::string& text) { return value(std::string_view(text)); }
    JsonWriter& value(bool flag);
    JsonWriter& value(double number);
    JsonWriter& value(float number);
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    JsonWriter& value(T number)
    {
        if constexpr (std::is_signed_v<T>)
            return integer(static_cast<int64_t>(number));
        else
            return unsignedInteger(static_cast<uint64_t>(number));
    }
    JsonWriter& null();

    // Shorthand for key(name).value(v).
    template <typename T>
    JsonWriter& field(std::string_view name, const T& v)
    {
        key(name);
        return value(v);
    }

    // The text written so far (complete once every object and array is closed).
    const std::string& str() const { return m_out; }

    // Appends `text` as a JSON string literal (quotes included) to `out`. Invalid UTF-8 bytes are
    // taken as Latin-1 characters, so the result is always valid UTF-8.
    static void appendQuoted(std::string& out, std::string_view text);

private:
    JsonWriter& integer(int64_t number);
    JsonWriter& unsignedInteger(uint64_t number);
    void beforeValue();
    void newline();
    JsonWriter& open(char bracket);
    JsonWriter& close(char bracket);

    struct Level {
        bool object;
        bool empty = true;
    };
    std::string m_out;
    std::vector<Level> m_levels;
    bool m_afterKey = false;
    int m_indent;
};
