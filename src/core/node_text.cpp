#include "core/node_text.h"

#include <algorithm>

namespace vantaro {

std::vector<std::string> SplitNodeFields(std::string_view nodeText) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (start < nodeText.size()) {
        const size_t space = nodeText.find(' ', start);
        if (space == std::string_view::npos) {
            fields.emplace_back(nodeText.substr(start));
            break;
        }
        fields.emplace_back(nodeText.substr(start, space - start));
        start = space + 1;
    }
    return fields;
}

ServerNode ParseNodeText(std::string_view nodeText) {
    std::vector<std::string> fields = SplitNodeFields(nodeText);
    fields.resize(std::max<size_t>(fields.size(), 3));
    return ServerNode{fields[0], fields[1], fields[2]};
}

std::string MakeNodeText(std::string_view ip, std::string_view port, std::string_view password) {
    std::string text;
    text.reserve(ip.size() + port.size() + password.size() + 2);
    text.append(ip).append(" ").append(port).append(" ").append(password);
    return text;
}

}  // namespace vantaro
