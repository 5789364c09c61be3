// Flattening of multi-line texts into one message line.
#include "HostError.h"

namespace hostsupport {

std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

}  // namespace hostsupport
