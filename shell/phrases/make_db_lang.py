"""Writes the phrase database DbLang.Txt that ships beside the program.

The source, phrases.tsv, holds one phrase a line: the German text exactly as
the program passes it to the translation (accelerator marks kept, no
trailing colon), a tab, and its English text. Lines starting with '#' and
empty lines are comments. The output has one entry per phrase as the
program reads it: a separator line, "$:" with the phrase, the German line
and one line per other language (E I S P F H J), in Windows-1252 with CR LF.
"""
import sys

LETTERS = "EISPFHJ"
SEPARATOR = "-" * 78


def read_phrases(path):
    phrases = []
    seen = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.startswith("#"):
                continue
            german, sep, english = line.partition("\t")
            if not sep or german != german.strip() or german.endswith(":") or not english.strip():
                raise SystemExit("%s:%d: want 'German<TAB>English', trimmed, no trailing colon" % (path, number))
            if german in seen:
                raise SystemExit("%s:%d: '%s' already on line %d" % (path, number, german, seen[german]))
            seen[german] = number
            phrases.append((german, english.strip()))
    return phrases


def main():
    source, target = sys.argv[1], sys.argv[2]
    lines = []
    for german, english in read_phrases(source):
        lines += [SEPARATOR, "$:" + german, "G:" + german, "E:" + english]
        lines += [letter + ":" for letter in LETTERS[1:]]
    data = "".join(line + "\r\n" for line in lines)
    with open(target, "wb") as f:
        f.write(data.encode("cp1252"))


if __name__ == "__main__":
    main()
