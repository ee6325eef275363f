#pragma once
#include <string>
#include <string_view>

namespace vantaro {

// The engine writes UTF-8 to a pipe and a read can end inside a character. Take() hands out whole characters only
// and keeps an incomplete tail (at most 3 bytes) for the next read. Only a tail that can still become a valid
// sequence is held back; invalid bytes pass through at once so nothing is stuck forever.
class Utf8Carry {
public:
    std::string Take(std::string_view chunk);

private:
    std::string carried_;
};

// The bytes before the first zero byte (all of them when there is none).
std::string CutAtFirstZero(std::string_view bytes);

// Every LF becomes CR LF, including the LF of an existing CR LF (giving CR CR LF), as the program's log has it.
std::string LfToCrLf(std::string_view text);

}  // namespace vantaro
