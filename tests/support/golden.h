#pragma once
// Pictures compared with stored ones: a picture that differs in more than
// a share of its pixels (by more than a rounding step in a channel) fails,
// and is written beside the test program as NAME.actual.png. With
// UPDATE_GOLDEN=1 the stored picture is written anew instead; look at it
// before committing.

#include <QImage>

#include <string>

namespace quillon::test {

// The share of pixels that differ by more than a rounding step in a channel.
double DifferingShare(const QImage &a, const QImage &b);

// Compares actual with DIR/NAME.png (dir relative to the source tree).
void ExpectLikeGolden(const QImage &actual, const std::string &dir, const std::string &name, double allowedShare);

} // namespace quillon::test
