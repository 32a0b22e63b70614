"""A translation of every map name for the scripts that run `wright maps
import` on the demo archive: each name becomes another of the same length
(the case of its ASCII letters swapped), so an import writes every name."""


def unquote(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            i += 1
            out.append({"n": "\n", "t": "\t", '"': '"', "\\": "\\"}.get(text[i], text[i]))
        else:
            out.append(c)
        i += 1
    return "".join(out)


def quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n") + '"'


def read_entries(pot):
    """(context, source) of every entry but the header."""
    entries, fields, key = [], {}, None
    with open(pot, encoding="utf-8") as f:
        lines = f.read().splitlines() + [""]
    for line in lines:
        line = line.strip()
        if not line:
            if "msgid" in fields and fields["msgid"]:
                entries.append((fields.get("msgctxt"), fields["msgid"]))
            fields, key = {}, None
        elif line.startswith("#"):
            continue
        elif line.startswith('"') and key:
            fields[key] += unquote(line[1:-1])
        else:
            key, _, rest = line.partition(" ")
            fields[key] = unquote(rest.strip()[1:-1])
    return entries


def swap_case(text):
    return "".join(c.swapcase() if c.isascii() and c.isalpha() else c for c in text)


def write_translation(pot, po, swap=True):
    """Every name translated into another of the same length; names that
    fill the field are left out, as the import refuses them."""
    with open(po, "w", encoding="utf-8") as out:
        out.write('msgid ""\nmsgstr ""\n"Content-Type: text/plain; charset=UTF-8\\n"\n\n')
        for context, source in read_entries(pot):
            if len(source) > 31:
                continue
            if context is not None:
                out.write("msgctxt " + quote(context) + "\n")
            there, back = swap_case(source), source
            if not swap:  # the catalogue that takes a translated archive back
                source, there = there, back
            out.write("msgid " + quote(source) + "\nmsgstr " + quote(there) + "\n\n")


