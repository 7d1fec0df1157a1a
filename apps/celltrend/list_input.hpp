#pragma once
// List-style input: values separated by blanks, tabs or a comma (blanks around
// it included); a value in ' or " may hold any of these, a doubled quote stands
// for one; "r*value" stands for r copies and "r*" for r null values; a comma
// right after a separator gives a null value, which leaves its item as it was;
// a slash ends the read and every remaining item keeps its value, except
// that in a name (a string item) a slash followed by anything but a blank,
// tab, comma or the end of the record is part of it, as in a path
// (series/buffer.txt, /data/run.html), while a slash standing alone still
// ends the read ("name/ 100" is the name alone).  Text items
// of fixed length keep their leftmost characters or are padded with blanks;
// string items take the whole value, whatever its length.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace celltrend {

using ListItem = std::variant<std::span<char>, float*, std::string*>;

enum class ListStatus {
    ok,   // every item has a value, or a slash ended the read
    end,  // the record (or the input) ended before every item had a value
    bad,  // a value could not be converted
};

// Reads the items from one record (an internal read: running out of record is `end`).
ListStatus list_read(std::string_view record, std::span<const ListItem> items);

// Where a read that did not end `ok` stopped: the item (counted from 0) left
// without a value, and for `bad` the text of the value that was not a number.
struct ListStop {
    std::size_t item = 0;
    std::string text;
};

// As the internal read above, telling where it stopped.
ListStatus list_read(std::string_view record, std::span<const ListItem> items, ListStop& stop);

// As above, but when the record runs out before every item has a value,
// `next_record` is asked for another one (false: no more input, `end`).
ListStatus list_read(std::string_view record, std::span<const ListItem> items,
                     const std::function<bool(std::string&)>& next_record);

// A real in any notation list-style input accepts: 295, 295.5, .5, 2.955E2,
// 2.955D2, 2.955+2.  The whole text must be the number.  Words such as NaN,
// Inf or Infinity are no numbers: a table must never receive a NaN that a
// report or buffer file merely spelt out.  A number beyond the range of a
// real gives an infinity or a zero of its sign, as the arithmetic would.
bool parse_real(std::string_view text, float& out);

}  // namespace celltrend
