#pragma once

#include <string_view>

// Why the text of a number box was refused.
enum class FieldError {
    None,
    NotInteger, // blank or not a whole number
    OutOfRange, // a whole number outside the allowed range
};

struct IntegerField {
    int value = 0; // valid only when error is None
    FieldError error = FieldError::None;
};

// Reads the text of a number box: a whole number, blanks around it and a leading '+' allowed,
// in min..max. A whole number too large for an int counts as out of range.
IntegerField ParseIntegerField(std::string_view text, int min, int max);
