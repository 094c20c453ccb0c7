// kxrd4-cli --format json: the output of devices, get, status, watch and diff
// parsed back with a small JSON reader, against the emulated KX-RD4.

#include <map>
#include <memory>

#include <gtest/gtest.h>

#include "CliRig.h"
#include "EmulatorPeer.h"

namespace {

// Just enough JSON: objects, arrays, strings (with \" \\ \n escapes), integers,
// true and false. Anything else fails the parse.
struct Json {
    enum class Kind { Object, Array, String, Number, Bool } kind = Kind::Number;
    std::map<std::string, Json> object;
    std::vector<Json> array;
    std::string text;
    long long number = 0;
};

bool ParseJson(const std::string& s, std::size_t& i, Json& v) {
    if (i >= s.size()) {
        return false;
    }
    if (s[i] == '{' || s[i] == '[') {
        const bool object = s[i] == '{';
        v.kind = object ? Json::Kind::Object : Json::Kind::Array;
        ++i;
        if (i < s.size() && s[i] == (object ? '}' : ']')) {
            ++i;
            return true;
        }
        for (;;) {
            Json key;
            if (object && (!ParseJson(s, i, key) || key.kind != Json::Kind::String ||
                           i >= s.size() || s[i++] != ':')) {
                return false;
            }
            Json item;
            if (!ParseJson(s, i, item)) {
                return false;
            }
            if (object) {
                v.object[key.text] = item;
            } else {
                v.array.push_back(item);
            }
            if (i < s.size() && s[i] == ',') {
                ++i;
                continue;
            }
            return i < s.size() && s[i++] == (object ? '}' : ']');
        }
    }
    if (s[i] == '"') {
        v.kind = Json::Kind::String;
        for (++i; i < s.size() && s[i] != '"'; ++i) {
            if (s[i] == '\\' && ++i < s.size()) {
                v.text += s[i] == 'n' ? '\n' : s[i];
            } else {
                v.text += s[i];
            }
        }
        return i++ < s.size();
    }
    if (s.compare(i, 4, "true") == 0 || s.compare(i, 5, "false") == 0) {
        v.kind = Json::Kind::Bool;
        v.number = s[i] == 't';
        i += s[i] == 't' ? 4 : 5;
        return true;
    }
    std::size_t used = 0;
    try {
        v.number = std::stoll(s.substr(i), &used);
    } catch (...) {
        return false;
    }
    i += used;
    return true;
}

Json Parsed(const std::string& line) {
    Json v;
    std::size_t i = 0;
    EXPECT_TRUE(ParseJson(line, i, v) && i == line.size()) << line;
    return v;
}

std::vector<Json> Lines(const std::string& out) {
    std::vector<Json> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(Parsed(out.substr(start, end - start)));
    }
    EXPECT_EQ(start, out.size()) << "every object ends its line";
    return lines;
}

TEST(CliJson, OutputParsesBackWithTheFieldsOfTheTextForm) {
    CliRig rig;
    EmulatorPeer peer(*rig.backend);
    CliResult r = rig.Tool({"devices", "--format", "json"});
    ASSERT_EQ(r.status, 0) << r.err;
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].array.size(), 1u);
    EXPECT_EQ(lines[0].array[0].object["name"].text, "KX-RD4");
    EXPECT_EQ(lines[0].array[0].object["path"].text, rig.backend->PathOf(peer.Device()));
    EXPECT_EQ(lines[0].array[0].object["selected"].number, 1);

    r = rig.Tool({"get", "home", "--format", "json"});
    lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].object["value"].number, -200);
    EXPECT_EQ(lines[0].object["contactType"].text, "NO");

    lines = Lines(rig.Tool({"status", "--format", "json"}).out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].object.count("position"), 1u);
    EXPECT_EQ(lines[0].object.count("velocity"), 1u);

    lines = Lines(rig.Tool({"watch", "--seconds", "0.1", "--format", "json"}).out);
    ASSERT_GE(lines.size(), 1u);
    EXPECT_EQ(lines[0].object.size(), 3u);

    rig.WriteFile("b.kxb", "[parameters]\nvmax = 7\n# a \"quoted\" note\n[programs]\nP5\n"
                           "[02]  W_TIM  9\n");
    r = rig.Tool({"diff", rig.Path("b.kxb"), "--format", "json"});
    EXPECT_EQ(r.status, 1);
    lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1u);
    Json& diff = lines[0];
    EXPECT_EQ(diff.object["same"].number, 0);
    EXPECT_EQ(diff.object["b"].text, rig.Path("b.kxb"));
    ASSERT_EQ(diff.object["differences"].array.size(), 2u);
    auto& first = diff.object["differences"].array[0].object;
    EXPECT_EQ(first["parameter"].text, "vmax");
    EXPECT_EQ(first["a"].text, "1000");
    EXPECT_EQ(first["b"].text, "7");
    auto& second = diff.object["differences"].array[1].object;
    EXPECT_EQ(second["item"].text, "P5 line 02");
    EXPECT_EQ(second["program"].number, 5);
    EXPECT_EQ(second["line"].number, 2);
    EXPECT_EQ(second["b"].text, "[02]  W_TIM  00009 | 12 00 00 00 00 09 00 00");
}

} // namespace
