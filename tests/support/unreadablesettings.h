#pragma once

#include <QByteArray>
#include <QList>

namespace testsupport {

// A bitvik.ini the reader refuses, and a part of the message that says why.
struct UnreadableSettings {
    const char* name;
    QByteArray bytes;
    const char* why;
};

QList<UnreadableSettings> unreadableSettings();

} // namespace testsupport
