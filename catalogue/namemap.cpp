// catalogue/namemap.cpp - reading the name map into font entries.
#include "catalogue/catalogue.h"

#include "base/stream.h"

#include <sstream>
#include <string>

namespace {

const char kLineDelimiters[] = "\r\n";
const char kFieldDelimiters[] = "\t,";

}  // namespace

void parseNameMapLine(FontCatalogue &catalogue, const char *line, const char *keys)
{
    if (!line || line[0] == '\0' || line[0] == '#' || line[0] == ';')
        return;
    if (!keys)
        return;

    std::istringstream keyText{std::string(keys)};
    std::istringstream lineText{std::string(line)};
    BigEndianReader keyReader(&keyText);
    BigEndianReader fieldReader(&lineText);

    FontEntry *entry = catalogue.append();
    char key[kNameMapKeySize];
    char field[kNameMapFieldSize];
    // Every key is read, even after the line has run out of fields.
    while (keyReader.readToken(key, sizeof key, kLineDelimiters) > 0) {
        if (fieldReader.readToken(field, sizeof field, kFieldDelimiters) > 0)
            entry->setProperty(key, field);
    }
}

void parseNameMap(FontCatalogue &catalogue, const char *text, const char *keys)
{
    if (!text)
        return;
    std::istringstream in{std::string(text)};
    BigEndianReader reader(&in);
    char line[kNameMapLineSize];
    while (reader.readToken(line, sizeof line, kLineDelimiters) > 0)
        parseNameMapLine(catalogue, line, keys);
}
