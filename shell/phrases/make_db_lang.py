"""Writes the phrase database DbLang.Txt that ships beside the program.

The source, phrases.tsv, holds one phrase a line: the German text exactly as
the program passes it to the translation (accelerator marks kept, no
trailing colon), a tab, and its English text; a phrase that is a key of its
own for a second meaning of a German word has a third column, the German
text shown for it (written as the entry's German line). Lines starting with
'#' and empty lines are comments. The output has one entry per phrase as the
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
            columns = line.split("\t")
            german, english = columns[0], columns[1].strip() if len(columns) > 1 else ""
            shown = columns[2].strip() if len(columns) > 2 else german
            if (len(columns) not in (2, 3) or german != german.strip() or german.endswith(":") or not english
                    or not shown or shown == german and len(columns) == 3):
                raise SystemExit("%s:%d: want 'German<TAB>English' or 'key<TAB>English<TAB>German', trimmed, "
                                 "no trailing colon" % (path, number))
            if german in seen:
                raise SystemExit("%s:%d: '%s' already on line %d" % (path, number, german, seen[german]))
            seen[german] = number
            phrases.append((german, shown, english))
    return phrases


def main():
    source, target = sys.argv[1], sys.argv[2]
    lines = []
    for phrase, german, english in read_phrases(source):
        lines += [SEPARATOR, "$:" + phrase, "G:" + german, "E:" + english]
        lines += [letter + ":" for letter in LETTERS[1:]]
    data = "".join(line + "\r\n" for line in lines)
    with open(target, "wb") as f:
        f.write(data.encode("cp1252"))


if __name__ == "__main__":
    main()
