#include "results/logic/table_export.h"

#include <algorithm>
#include <cstdint>

namespace marvolt {

namespace {

size_t ColumnCount(const TextTable& table) {
    size_t n = 0;
    for (const auto& row : table)
        n = std::max(n, row.size());
    return n;
}

const std::string& Cell(const TextTable& table, size_t r, size_t c) {
    static const std::string empty;
    return c < table[r].size() ? table[r][c] : empty;
}

std::string HtmlEscaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\n':
            case '\r':
            case '\t':
                out += ' ';
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The code points of a UTF-8 text; a byte that starts no valid sequence
// stands for itself.
std::vector<uint32_t> CodePoints(const std::string& s) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        size_t n = b < 0x80           ? 1
                   : (b >> 5) == 0x6  ? 2
                   : (b >> 4) == 0xE  ? 3
                   : (b >> 3) == 0x1E ? 4
                                      : 0;
        if (n == 0 || i + n > s.size()) {
            out.push_back(b);
            ++i;
            continue;
        }
        uint32_t cp = n == 1 ? b : b & (0x7F >> n);
        bool valid = true;
        for (size_t k = 1; k < n; ++k) {
            const auto cb = static_cast<unsigned char>(s[i + k]);
            if ((cb & 0xC0) != 0x80)
                valid = false;
            cp = (cp << 6) | (cb & 0x3F);
        }
        if (!valid) {
            out.push_back(b);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += n;
    }
    return out;
}

// RTF is 7-bit: everything else goes as \uN? with N a signed 16-bit unit.
std::string RtfEscaped(const std::string& s) {
    std::string out;
    auto unit = [&out](uint32_t u) {
        out += "\\u" + std::to_string(static_cast<int16_t>(static_cast<uint16_t>(u))) + "?";
    };
    for (uint32_t cp : CodePoints(s)) {
        if (cp == '\\' || cp == '{' || cp == '}') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp == '\n' || cp == '\r' || cp == '\t') {
            out += ' ';
        } else if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x10000) {
            unit(cp);
        } else {
            const uint32_t v = cp - 0x10000;
            unit(0xD800 + (v >> 10));
            unit(0xDC00 + (v & 0x3FF));
        }
    }
    return out;
}

}  // namespace

std::string TableHtml(const TextTable& table) {
    const size_t columns = ColumnCount(table);
    std::string out =
        "<html><head><meta charset=\"utf-8\"></head><body>\n"
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
        "style=\"border-collapse: collapse; font-size: 12pt\">\n";
    for (size_t r = 0; r < table.size(); ++r) {
        out += "<tr>";
        for (size_t c = 0; c < columns; ++c) {
            const char* align = c == 0 ? "left" : "right";
            out += std::string("<td align=\"") + align + "\" style=\"text-align: " + align +
                   "; font-size: 12pt\">" + HtmlEscaped(Cell(table, r, c)) + "</td>";
        }
        out += "</tr>\n";
    }
    out += "</table>\n</body></html>\n";
    return out;
}

std::string TableRtf(const TextTable& table) {
    const size_t columns = ColumnCount(table);
    // Column widths in twips, after the longest text of each column.
    std::vector<size_t> widths(columns, 0);
    for (const auto& row : table) {
        for (size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], CodePoints(row[c]).size());
    }
    std::string out = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs24\n";
    for (size_t r = 0; r < table.size(); ++r) {
        out += "\\trowd\\trgaph70";
        size_t edge = 0;
        for (size_t c = 0; c < columns; ++c) {
            edge += std::max<size_t>(widths[c] * 130 + 240, 700);
            out += "\\clbrdrt\\brdrs\\clbrdrl\\brdrs\\clbrdrb\\brdrs\\clbrdrr\\brdrs\\cellx" +
                   std::to_string(edge);
        }
        out += "\n";
        for (size_t c = 0; c < columns; ++c) {
            out += std::string("\\pard\\intbl") + (c == 0 ? "\\ql " : "\\qr ") +
                   RtfEscaped(Cell(table, r, c)) + "\\cell\n";
        }
        out += "\\row\n";
    }
    out += "}\n";
    return out;
}

std::string TableTsv(const TextTable& table) {
    const size_t columns = ColumnCount(table);
    std::string out;
    for (size_t r = 0; r < table.size(); ++r) {
        for (size_t c = 0; c < columns; ++c) {
            if (c > 0)
                out += '\t';
            for (char ch : Cell(table, r, c))
                out += (ch == '\t' || ch == '\n' || ch == '\r') ? ' ' : ch;
        }
        out += '\n';
    }
    return out;
}

}  // namespace marvolt
