#pragma once

// A strict reader for the JSON the export tool writes, so tests check the
// structure a real consumer would see rather than searching the text.

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace cosmophase::testing {

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    const JsonValue& at(const std::string& key) const
    {
        for (const auto& member : members)
            if (member.first == key)
                return member.second;
        throw std::runtime_error("no member " + key);
    }
};

class JsonReader {
public:
    static JsonValue parse(const std::string& text)
    {
        JsonReader reader(text);
        JsonValue value = reader.value();
        reader.skipSpace();
        if (reader.m_pos != text.size())
            reader.fail("trailing characters");
        return value;
    }

private:
    explicit JsonReader(const std::string& text) : m_text(text) {}

    [[noreturn]] void fail(const std::string& what) const
    {
        throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(m_pos));
    }

    void skipSpace()
    {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\n' ||
                                         m_text[m_pos] == '\t' || m_text[m_pos] == '\r'))
            ++m_pos;
    }

    bool consume(char c)
    {
        skipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    void expect(char c)
    {
        if (!consume(c))
            fail(std::string("expected '") + c + "'");
    }

    bool literal(const char* word)
    {
        const std::string w(word);
        if (m_text.compare(m_pos, w.size(), w) != 0)
            return false;
        m_pos += w.size();
        return true;
    }

    std::string string()
    {
        expect('"');
        std::string out;
        while (m_pos < m_text.size() && m_text[m_pos] != '"') {
            if (m_text[m_pos] == '\\')
                ++m_pos;
            if (m_pos < m_text.size())
                out += m_text[m_pos++];
        }
        expect('"');
        return out;
    }

    JsonValue value()
    {
        skipSpace();
        JsonValue v;
        if (m_pos >= m_text.size())
            fail("unexpected end");
        const char c = m_text[m_pos];
        if (c == '{') {
            v.kind = JsonValue::Kind::Object;
            ++m_pos;
            if (consume('}'))
                return v;
            do {
                skipSpace();
                std::string key = string();
                expect(':');
                v.members.emplace_back(std::move(key), value());
            } while (consume(','));
            expect('}');
        } else if (c == '[') {
            v.kind = JsonValue::Kind::Array;
            ++m_pos;
            if (consume(']'))
                return v;
            do
                v.items.push_back(value());
            while (consume(','));
            expect(']');
        } else if (c == '"') {
            v.kind = JsonValue::Kind::String;
            v.text = string();
        } else if (literal("null")) {
            v.kind = JsonValue::Kind::Null;
        } else if (literal("true")) {
            v.kind = JsonValue::Kind::Bool;
            v.boolean = true;
        } else if (literal("false")) {
            v.kind = JsonValue::Kind::Bool;
        } else {
            // JSON numbers only: no "nan", "inf", hex or leading '+'.
            const std::size_t start = m_pos;
            while (m_pos < m_text.size() &&
                   std::string("0123456789+-.eE").find(m_text[m_pos]) != std::string::npos)
                ++m_pos;
            const std::string token = m_text.substr(start, m_pos - start);
            if (token.empty() || token[0] == '+' || token[0] == '.')
                fail("bad value");
            char* end = nullptr;
            v.kind = JsonValue::Kind::Number;
            v.number = std::strtod(token.c_str(), &end);
            if (*end != '\0')
                fail("bad number " + token);
        }
        return v;
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
};

} // namespace cosmophase::testing
