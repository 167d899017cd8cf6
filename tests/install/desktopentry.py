"""Desktop entry files read by the freedesktop rules for them (keys, locales, escapes),
independently of how the build writes them."""

ESCAPES = {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}


def unescape(value):
    out, chars = [], iter(value)
    for ch in chars:
        if ch == "\\":
            nxt = next(chars, "")
            out.append(ESCAPES.get(nxt, "\\" + nxt))
        else:
            out.append(ch)
    return "".join(out)


def read(path):
    """The [Desktop Entry] group: key -> value as written (keys with their [locale])."""
    entry, group = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            if line.startswith("["):
                group = line
                continue
            if group == "[Desktop Entry]":
                key, _, value = line.partition("=")
                entry[key.strip()] = value.strip()
    return entry


def exec_arguments(value):
    """The Exec key's program and arguments: string escapes first, then the quoting rules, by
    which a double-quoted argument escapes ", `, $ and \\ with a backslash."""
    text, args, current, quoted, i = unescape(value), [], [], False, 0
    started = False
    while i < len(text):
        ch = text[i]
        if quoted:
            if ch == "\\" and i + 1 < len(text) and text[i + 1] in '"`$\\':
                current.append(text[i + 1])
                i += 1
            elif ch == '"':
                quoted = False
            else:
                current.append(ch)
        elif ch == '"':
            quoted, started = True, True
        elif ch == " ":
            if started or current:
                args.append("".join(current))
            current, started = [], False
        else:
            current.append(ch)
        i += 1
    if quoted:
        raise ValueError(f"unterminated quote in {value!r}")
    if started or current:
        args.append("".join(current))
    return args
