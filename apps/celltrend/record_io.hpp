#pragma once
// The record layer: every byte the program shows or stores passes through it.
// Fixed-length texts, formatted fields, list-style input, text files and the
// console with its line control.

#include "console.hpp"
#include "failure.hpp"
#include "fixed_text.hpp"
#include "list_input.hpp"
#include "record_format.hpp"
#include "text_files.hpp"
