#include "formats/bounded_line.hpp"

namespace formats {

bool read_bounded_line(std::istream& in, std::string& line, std::size_t limit, bool& too_long) {
    line.clear();
    too_long = false;
    std::streambuf* buffer = in.rdbuf();
    bool any = false;
    while (true) {
        int c = 0;
        try {
            c = buffer->sbumpc();
        } catch (const std::ios_base::failure&) {  // a file buffer's read error (EIO)
            in.setstate(std::ios::badbit);
            return false;
        }
        if (c == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            return any;
        }
        any = true;
        if (c == '\n') return true;
        if (line.size() == limit) {
            too_long = true;
            return true;
        }
        line.push_back(char(c));
    }
}

}  // namespace formats
