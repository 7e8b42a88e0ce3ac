#!/usr/bin/env python3
"""Prints the tree of list items another program reads in a Markdown file.

Usage: markdown_list_tree.py cmark|python-markdown FILE

One line per item in document order: its depth (0 for a top-level item), a tab, and the
item's text with \\ \\n \\r \\t written as escapes. A line break (<br>) reads as a line feed;
comments are dropped. Any other element an item holds (emphasis, a heading, a paragraph,
code), and text outside every item, is written as <tag> or !text so that it differs from
every caption the editor writes.
"""
import subprocess
import sys
from html.parser import HTMLParser


BREAK = "\x00"  # a <br> until the layout's line feeds are gone; HTML text holds no NUL


class ListTree(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.items = []  # [depth, text]
        self.open = []  # indices into items of the <li> elements open now

    def _text(self, text):
        if self.open:
            self.items[self.open[-1]][1] += text
        elif text.strip():
            self.items.append([0, "!" + text])

    def handle_starttag(self, tag, attrs):
        if tag == "li":
            self.items.append([len(self.open), ""])
            self.open.append(len(self.items) - 1)
        elif tag == "br":
            self._text(BREAK)
        elif tag not in ("ul", "ol"):
            self._text("<" + tag + ">")

    def handle_endtag(self, tag):
        if tag == "li" and self.open:
            self.open.pop()

    def handle_data(self, data):
        self._text(data)


def html_of(parser, path):
    if parser == "cmark":
        # Raw HTML is kept (--unsafe), as renderers that allow it show it: <br> and comments.
        return subprocess.run(["cmark", "--unsafe", path], check=True, capture_output=True).stdout.decode()
    if parser == "python-markdown":
        import markdown

        with open(path, encoding="utf-8") as source:
            return markdown.markdown(source.read())
    raise SystemExit("unknown parser " + parser)


def main():
    tree = ListTree()
    tree.feed(html_of(sys.argv[1], sys.argv[2]))
    tree.close()
    out = []
    for depth, text in tree.items:
        # Line feeds around block tags are the HTML's layout; captions hold none (breaks are <br>).
        text = text.strip("\n").replace(BREAK, "\n")
        text = text.replace("\\", "\\\\").replace("\n", "\\n").replace("\r", "\\r").replace("\t", "\\t")
        out.append("%d\t%s\n" % (depth, text))
    sys.stdout.buffer.write("".join(out).encode("utf-8"))


main()
