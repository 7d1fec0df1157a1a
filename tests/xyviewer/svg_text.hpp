#pragma once
// The texts of an SVG file that PLplot's svg device writes: one <text>
// element per string, its characters in <tspan>s as &#x..; references, its
// place in a transform="matrix(a b c d e f)".

#include <map>
#include <string>
#include <vector>

namespace xyviewer_test {

struct SvgText {
    std::string text;  // UTF-8
    double x = 0, y = 0;
    double font_size = 0;
    std::string anchor;  // text-anchor: start, middle or end
};

inline void append_utf8(std::string& out, unsigned long c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

inline std::string decode_entities(const std::string& s) {
    static const std::map<std::string, char> named{
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const std::size_t semi = s[i] == '&' ? s.find(';', i) : std::string::npos;
        if (semi == std::string::npos) {
            out += s[i];
            continue;
        }
        const std::string name = s.substr(i + 1, semi - i - 1);
        if (name.rfind("#x", 0) == 0)
            append_utf8(out, std::stoul(name.substr(2), nullptr, 16));
        else if (name.rfind("#", 0) == 0)
            append_utf8(out, std::stoul(name.substr(1)));
        else if (named.count(name))
            out += named.at(name);
        i = semi;
    }
    return out;
}

inline std::vector<SvgText> svg_texts(const std::string& svg) {
    std::vector<SvgText> texts;
    std::size_t pos = 0;
    while ((pos = svg.find("<text", pos)) != std::string::npos) {
        const std::size_t end = svg.find("</text>", pos);
        if (end == std::string::npos) break;
        const std::string element = svg.substr(pos, end - pos);
        SvgText t;
        const std::size_t matrix = element.find("matrix(");
        if (matrix != std::string::npos) {
            double m[6] = {};
            std::sscanf(element.c_str() + matrix, "matrix(%lf %lf %lf %lf %lf %lf)", &m[0], &m[1], &m[2], &m[3], &m[4],
                        &m[5]);
            t.x = m[4];
            t.y = m[5];
        }
        const auto attribute = [&](const std::string& name) {
            const std::size_t at = element.find(name + "=\"");
            if (at == std::string::npos) return std::string();
            const std::size_t from = at + name.size() + 2;
            return element.substr(from, element.find('"', from) - from);
        };
        const std::string size = attribute("font-size");
        if (!size.empty()) t.font_size = std::stod(size);
        t.anchor = attribute("text-anchor");
        // Character data between tags, after the opening tag's own '>'.
        std::size_t p = element.find('>');
        while (p != std::string::npos && p + 1 < element.size()) {
            const std::size_t lt = element.find('<', p + 1);
            t.text += decode_entities(element.substr(p + 1, (lt == std::string::npos ? element.size() : lt) - p - 1));
            p = lt == std::string::npos ? lt : element.find('>', lt);
        }
        texts.push_back(t);
        pos = end;
    }
    return texts;
}

}  // namespace xyviewer_test
