#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace vantaro {

// The tail of a GBK text that fits in maxBytes: from the first line that starts inside that tail, or, when no
// line starts there, from the first character boundary, never inside a double-byte character.
std::string KeepNewestLines(std::string_view text, size_t maxBytes);

// The log box's text, held beside the box so that it stays bounded: output is appended at the end, and once
// the text would pass the cap the oldest whole lines are dropped, down to a margin below the cap, so that
// dropping happens once per margin's worth of output rather than on every append.
class BoundedLog {
  public:
    BoundedLog(size_t cap, size_t keepAfterDrop);

    // Appends and returns how many bytes were dropped from the front of the text held before (0 when none):
    // the box drops the same and then gets `text` at its end. A text longer than the margin keeps only its
    // newest part; the whole text held before is then dropped and Text() is what the box must hold.
    size_t Append(std::string_view text);
    void Clear() { text_.clear(); }
    const std::string& Text() const { return text_; }

  private:
    size_t cap_;
    size_t keepAfterDrop_;
    std::string text_;
};

}  // namespace vantaro
