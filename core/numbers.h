#pragma once

#include <QString>

#include <optional>

// Numbers typed into the design's fields. The file reader takes texts its own way; these decide
// what an edit may enter.

// The finite number a text reads as (blanks around it allowed), or nothing: empty texts,
// words, "nan", "inf" and numbers beyond the doubles ("1e999") are not numbers.
std::optional<double> finiteNumber(const QString &text);

// A count: a finite number without a fraction, however written ("7", "7.0", "7e0"), taken
// into the range of int (a count beyond it is larger than any layout anyway). Nothing for "2.7"
// or a text that is not a number.
std::optional<int> wholeNumber(const QString &text);
