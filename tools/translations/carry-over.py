#!/usr/bin/env python3
"""Fills the untranslated messages of a .ts file from another .ts file (an earlier version of
it): a text that moved to another class keeps its translation. Prints what is left without one.

usage: carry-over.py NEW.ts EARLIER.ts
"""
import sys
import xml.etree.ElementTree as ET


def key(message):
    source = message.findtext("source") or ""
    comment = message.findtext("comment") or ""
    return source, comment


def main(new_path, earlier_path):
    earlier = {}
    for message in ET.parse(earlier_path).getroot().iter("message"):
        translation = message.find("translation")
        if translation is None or translation.get("type") in ("unfinished", "vanished", "obsolete"):
            continue
        earlier.setdefault(key(message), translation)
        earlier.setdefault((key(message)[0], ""), translation)
    tree = ET.parse(new_path)
    left = []
    for context in tree.getroot().iter("context"):
        for message in context.iter("message"):
            translation = message.find("translation")
            if translation is None or translation.get("type") != "unfinished":
                continue
            found = earlier.get(key(message)) or earlier.get((key(message)[0], ""))
            if found is None:
                left.append((context.findtext("name"), key(message)[0]))
                continue
            message.remove(translation)
            copy = ET.fromstring(ET.tostring(found))
            copy.tail = translation.tail
            message.append(copy)
    tree.write(new_path, encoding="utf-8", xml_declaration=True)
    for context, source in left:
        print(f"{context}: {source}")


if __name__ == "__main__":
    main(*sys.argv[1:])
