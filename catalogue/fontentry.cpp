// catalogue/fontentry.cpp - font entries and the catalogue.
#include "catalogue/fontentry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const char NAME_SUITCASE[] = "NAME_SUITCASE";
const char NAME_MARUKAN[] = "NAME_MARUKAN";
const char NAME_LOCAL[] = "NAME_LOCAL";
const char NAME_ROMAN[] = "NAME_ROMAN";
const char NAME_POSTSCRIPT[] = "NAME_POSTSCRIPT";
const char NAME_CATEGORY[] = "NAME_CATEGORY";
const char NAME_LOCAL_SHORT[] = "NAME_LOCAL_SHORT";
const char NAME_REGISTRY[] = "NAME_REGISTRY";
const char PATH_SOURCE[] = "PATH_SOURCE";
const char SIZE_ALL[] = "SIZE_ALL";
const char F_AVAILABLE[] = "F_AVAILABLE";
const char F_INSTALLED[] = "F_INSTALLED";
const char PATH_INSTALLED[] = "PATH_INSTALLED";
const char F_PER_USER[] = "F_PER_USER";
const char F_ALL_USERS_KEPT[] = "F_ALL_USERS_KEPT";

bool FontEntry::removeProperty(const char *key)
{
    for (auto it = properties_.begin(); it != properties_.end(); ++it) {
        if (it->first == key) {
            properties_.erase(it);
            return true;
        }
    }
    return false;
}

const std::string *FontEntry::findProperty(const char *key) const
{
    for (const auto &p : properties_) {
        if (p.first == key)
            return &p.second;
    }
    return nullptr;
}

bool FontEntry::getProperty(const char *key, char *buffer, int capacity) const
{
    const std::string *value = findProperty(key);
    if (!value || capacity <= 0)
        return value != nullptr;
    size_t n = value->size() < static_cast<size_t>(capacity - 1) ? value->size()
                                                                  : static_cast<size_t>(capacity - 1);
    std::memcpy(buffer, value->data(), n);
    buffer[n] = '\0';
    return true;
}

long FontEntry::getPropertyNumber(const char *key) const
{
    const std::string *value = findProperty(key);
    return value ? std::atol(value->c_str()) : 0;
}

bool FontEntry::setProperty(const char *key, const char *text)
{
    for (auto &p : properties_) {
        if (p.first == key) {
            p.second = text;
            return true;
        }
    }
    properties_.emplace_back(key, text);
    return false;
}

bool FontEntry::setPropertyNumber(const char *key, long value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%ld", value);
    return setProperty(key, text);
}

bool getProperty(const FontEntry *entry, const char *key, char *buffer, int capacity)
{
    return entry && entry->getProperty(key, buffer, capacity);
}

bool setProperty(FontEntry *entry, const char *key, const char *text)
{
    return entry->setProperty(key, text);
}

bool setPropertyNumber(FontEntry *entry, const char *key, long value)
{
    return entry->setPropertyNumber(key, value);
}

FontEntry *FontCatalogue::append()
{
    entries_.emplace_back(new FontEntry);
    return entries_.back().get();
}

FontEntry *findEntry(const FontCatalogue &catalogue, const char *key, const char *text)
{
    for (size_t i = 0; i < catalogue.size(); ++i) {
        const std::string *value = catalogue.at(i)->findProperty(key);
        if (value && *value == text)
            return catalogue.at(i);
    }
    return nullptr;
}

