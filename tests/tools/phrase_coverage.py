"""Lists the German texts the sources hand to the translation that the
phrase database has no English for; exit status 1 when there are any.

    python3 phrase_coverage.py SOURCE_DIR DbLang.Txt

The texts are the literals that open the argument of F_TRANS, F_TRANSHINT,
F_TRANSKEY and TranslatePhrase, the compiler's and the checker's message
tables and the program file's section names its progress shows. A key of
F_TRANSKEY must also show its German word in German.
Each is reduced as the lookup reduces it: trimmed, one trailing colon off;
a hint is split at its line breaks and its mouse-button markers go.
"""
import os
import re
import sys

FOLDERS = ("kernel", "lists", "picture", "pattern", "textedit", "check", "shell", "platform")
LITERAL = r'"(?:[^"\\\n]|\\.)*"'
LITERALS = r'(?:%s\s*)+' % LITERAL
CALL = re.compile(r'\b(F_TRANSHINT|F_TRANSKEY|F_TRANS|TranslatePhrase)\(\s*(%s)' % LITERALS)
# F_TRANSKEY(key, German): the German text the key's entry must show.
KEY_CALL = re.compile(r'\bF_TRANSKEY\(\s*(%s),\s*(%s)\)' % (LITERALS, LITERALS))
# {code, "text"} rows of the compiler's table; {number, fatal, "text"} of the checker's.
TABLES = {
    os.path.join("kernel", "compiler", "compilererror.cpp"): re.compile(r'\{\s*-?\d+\s*,\s*(%s)\}' % LITERALS),
    os.path.join("check", "rules", "checkmessages.cpp"): re.compile(r'\{\s*\d+\s*,\s*(?:true|false)\s*,\s*(%s)\}' % LITERALS),
    os.path.join("kernel", "tkf", "tkfsections.h"): re.compile(r'constexpr const char\* kName\w+ = (%s);' % LITERALS),
}
HINT_BREAK = "\u00bf"
MARKERS = ('"LT"', '"RT"')


def unescape(literals):
    """The UTF-8 text of adjacent C++ string literals."""
    out = bytearray()
    for body in re.findall(LITERAL, literals):
        body = body[1:-1].encode("utf-8")
        i = 0
        while i < len(body):
            c = body[i:i + 1]
            if c != b"\\":
                out += c
                i += 1
                continue
            kind = body[i + 1:i + 2]
            if kind == b"x":
                m = re.match(rb"[0-9a-fA-F]+", body[i + 2:])
                out.append(int(m.group(0), 16) & 0xFF)
                i += 2 + len(m.group(0))
            elif kind == b"u":
                out += chr(int(body[i + 2:i + 6], 16)).encode("utf-8")
                i += 6
            else:
                out += {b"n": b"\n", b"r": b"\r", b"t": b"\t"}.get(kind, kind)
                i += 2
    return out.decode("utf-8")


def is_integer(text):
    return re.fullmatch(r"[+-]?\d+|\$[0-9a-fA-F]+|0[xX][0-9a-fA-F]+", text) is not None


def looked_up(text):
    """The text as the lookup compares it (None when it is never looked up)."""
    text = text.strip(" \t\r\n")
    if text.endswith(":"):
        text = text[:-1]
    if not text or is_integer(text):
        return None
    return text


def phrases_of(kind, text):
    if kind != "F_TRANSHINT":
        return [looked_up(text)]
    parts = []
    for part in text.split(HINT_BREAK):
        if part[:4] in MARKERS:
            part = part[4:].lstrip(" \t")
        parts.append(looked_up(part))
    return parts


def source_phrases(root):
    """Every looked-up text and where it is first found; the German text each
    F_TRANSKEY key must show."""
    found = {}
    keys = {}
    for folder in FOLDERS:
        for dirpath, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h")):
                    continue
                path = os.path.join(dirpath, name)
                with open(path, encoding="utf-8") as f:
                    code = f.read()
                where = os.path.relpath(path, root)
                for m in CALL.finditer(code):
                    for p in phrases_of(m.group(1), unescape(m.group(2))):
                        if p:
                            found.setdefault(p, where)
                for m in KEY_CALL.finditer(code):
                    keys[looked_up(unescape(m.group(1)))] = (unescape(m.group(2)), where)
                table = TABLES.get(where)
                if table:
                    for m in table.finditer(code):
                        p = looked_up(unescape(m.group(1)))
                        if p:
                            found.setdefault(p, where)
    return found, keys


def language_entries(path, letter):
    """The first line of the letter of each entry."""
    entries = {}
    source = None
    with open(path, "rb") as f:
        for raw in f.read().split(b"\n"):
            line = raw.rstrip(bytes(range(33))).decode("cp1252")
            if len(line) < 2:
                continue
            if line[0] == "$":
                source = line[2:]
            elif line[0] == letter and source is not None and source not in entries:
                entries[source] = line[2:]
    return entries


def has_english(phrase, entries):
    if entries.get(phrase):
        return True
    # A phrase without accelerator mark also finds an entry written with one.
    return "&" not in phrase and any(s.replace("&", "", 1) == phrase and e for s, e in entries.items())


def main():
    root, database = sys.argv[1], sys.argv[2]
    entries = language_entries(database, "E")
    german = language_entries(database, "G")
    found, keys = source_phrases(root)
    missing = [(where, p) for p, where in found.items() if not has_english(p, entries)]
    for where, phrase in sorted(missing):
        print("%s: %s" % (where, phrase))
    # A key shows what its German line says: else German shows the key.
    wrong = [(where, key, word) for key, (word, where) in keys.items() if german.get(key) != word]
    for where, key, word in sorted(wrong):
        print("%s: %s shows %r in German, not %r" % (where, key, german.get(key), word))
    if missing:
        print("%d texts without English" % len(missing))
    if wrong:
        print("%d keys without their German text" % len(wrong))
    return 1 if missing or wrong else 0


if __name__ == "__main__":
    sys.exit(main())
