#include "IntegerField.h"

#include <charconv>

IntegerField ParseIntegerField(std::string_view text, int min, int max) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    // from_chars takes a minus sign but not a plus sign.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    if (text.empty())
        return {0, FieldError::NotInteger};

    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec == std::errc::result_out_of_range && ptr == end)
        return {0, FieldError::OutOfRange};
    if (ec != std::errc() || ptr != end)
        return {0, FieldError::NotInteger};
    if (value < min || value > max)
        return {0, FieldError::OutOfRange};
    return {value, FieldError::None};
}
