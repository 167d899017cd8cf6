#include "unreadablesettings.h"

namespace testsupport {

QList<UnreadableSettings> unreadableSettings() {
    const QByteArray megabyte(1 << 20, 'x');
    return {
        {"empty", "", "värde 1 (antal kolumner) saknas"},
        {"one value", "4\r\n", "värde 2 (antal rader) saknas"},
        {"two values", "4\r\n3\r\n", "värde 3 (bildfilens namn) saknas"},
        {"32768 columns", "32768\r\n3\r\n\"x\"\r\n", "32768, som inte ryms i ett 16-bitars"},
        {"-40000 rows", "3\r\n-40000\r\n\"x\"\r\n", "-40000"},
        {"non-numeric", "fyra\r\n3\r\n\"x\"\r\n", "\"fyra\", som inte är ett heltal"},
        {"decimal point", "4.5\r\n3\r\n\"x\"\r\n", "inte är ett heltal"},
        {"unterminated quote", "4\r\n3\r\n\"sol.bmp\r\n", "avslutande citattecken"},
        {"binary garbage", QByteArray("\x01\x02\xFF\xFE\x00\x80", 6), "inte är ett heltal"},
        {"binary garbage, NUL second", QByteArray("\x89\x00\xFF\x13\x37\xC3\x28", 7),
         "inte är ett heltal"},
        {"megabyte-long line", "4,3,\"" + megabyte + "\"", "längre än 4096"},
        {"megabyte-long line, ended", "4,3,\"" + megabyte + "\"\r\n", "längre än 4096"},
        {"junk after a quote", "\"4\"x\r\n3\r\n\"a\"\r\n", "oväntade tecken"},
    };
}

} // namespace testsupport
