#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace vantaro {

// A server node as held in the node list and stored in config.ini: IP, one space, port, one space, password.
struct ServerNode {
    std::string ip;
    std::string port;
    std::string password;
};

// Splits at every single space: two spaces in a row give an empty field, a trailing space no extra field.
std::vector<std::string> SplitNodeFields(std::string_view nodeText);

// The first three fields; missing ones are empty, fields after the third are ignored.
ServerNode ParseNodeText(std::string_view nodeText);

std::string MakeNodeText(std::string_view ip, std::string_view port, std::string_view password);

}  // namespace vantaro
