#!/usr/bin/env python3
"""Brands PDFs made by real producers (pdfTeX, LibreOffice, Ghostscript) with
`brandpdf brand` and reads the result back with qpdf: the output must pass
`qpdf --check` without an error or a warning, and every link URI must be the
one the link format gives for the answers, computed here independently.

usage: test_producers.py BRANDPDF FIXTURES_DIR [QPDF]
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

# Fixture, and the questions `brandpdf items` must print for it, in order.
FIXTURES = [
    ("pdftex-uncompressed.pdf", ["Your member ID", "Coupon code", "Your website"]),
    ("libreoffice.pdf", ["Reader ID", "Gift card", "Newsletter"]),
    ("ghostscript.pdf", ["Partner ID", "Support plan"]),
    ("demo.pdf", ["Your affiliate ID", "Discount code", "Your website"]),
]

LONG = "0123456789" * 200  # 2000 characters

# Answer sets, answers in question order; questions beyond the list get none
# (an empty answer).
ANSWER_SETS = [
    ("ids", ["A17", "Gold%20plus", "shop-42"]),
    ("empty", []),
    ("www", ["www.example.com/x"] * 3),
    ("pdf-specials", ["a(b)c\\d", "(open", "close)\\"]),
    ("long", [LONG, "A17", "www.example.com/x"]),
]

MARKER = re.compile(r"xxlink ?=", re.IGNORECASE)
WHITE = " \t\n\v\f\r"


def question_text(key):
    """The question a link's key (marker and question text) asks."""
    text = key[7:].strip(WHITE)
    if text.startswith("="):
        text = text[1:]
    return text.lstrip(WHITE).replace("_", " ")


def new_link(link_text, value):
    """The new URI for a link text (marker onwards) and an answer."""
    default = ""
    if "^" in link_text:
        link_text, default = link_text.split("^", 1)
    if not value:
        return default
    value_link = "http://" + value if value.startswith("www.") else value
    if "~" not in link_text:
        return value_link
    template = link_text.split("~", 1)[1]
    placeholder = "XXXX" if "XXXX" in template else "xxxx" if "xxxx" in template else None
    if placeholder is None:
        return value_link
    link = template.replace(placeholder, value_link)
    for old, new in (("%3f", "?"), ("%3F", "?"), ("%20", " ")):
        link = link.replace(old, new)
    return link


def expected_uri(uri, questions, answers):
    """What a URI becomes: unchanged without a marker, else the whole string
    (any lead-in included) is replaced by the link its item's answer gives."""
    found = MARKER.search(uri)
    if not found:
        return uri
    if any(c in uri for c in "()\\"):
        # qpdf hands over decoded strings; the rewrite works on the raw bytes.
        raise AssertionError("fixture link with a PDF escape: %r" % uri)
    link_text = uri[found.start():]
    key = re.split(r"[~^]", link_text, maxsplit=1)[0]
    wanted = question_text(key).lower()
    index = [q.lower() for q in questions].index(wanted)
    return new_link(link_text, answers[index] if index < len(answers) else "")


def run(args):
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                          errors="replace")


def decode_json_string(s):
    if s.startswith("u:"):
        return s[2:]
    if s.startswith("b:"):
        return bytes.fromhex(s[2:]).decode("latin-1")
    raise ValueError("unexpected qpdf JSON string " + s[:40])


def read_uris(qpdf, pdf):
    """Every /URI string in the file, keyed by object and path inside it."""
    result = run([qpdf, "--json=2", "--json-key=qpdf", pdf])
    if result.returncode != 0:
        raise AssertionError("qpdf --json failed on %s: %s" % (pdf, result.stderr.strip()))
    objects = json.loads(result.stdout)["qpdf"][1]
    uris = {}

    def walk(node, path):
        if isinstance(node, dict):
            for name, child in node.items():
                if name == "/URI" and isinstance(child, str):
                    uris[path] = decode_json_string(child)
                else:
                    walk(child, path + "/" + name)
        elif isinstance(node, list):
            for i, child in enumerate(node):
                walk(child, "%s[%d]" % (path, i))

    walk(objects, "")
    return uris


def check_clean(qpdf, pdf):
    result = run([qpdf, "--check", pdf])
    report = result.stdout + result.stderr
    if (result.returncode != 0 or "No syntax or stream encoding errors found" not in report
            or "warning" in report.lower()):
        raise AssertionError("qpdf --check is not clean (exit %d):\n%s" % (result.returncode, report))


def check_items(brandpdf, pdf, questions):
    result = run([brandpdf, "items", pdf])
    got = result.stdout.splitlines()
    if result.returncode != 0 or got != questions:
        raise AssertionError("brandpdf items: exit %d, questions %r, expected %r; stderr: %s"
                             % (result.returncode, got, questions, result.stderr.strip()))


def check_brand(brandpdf, qpdf, pdf, questions, answers, original, out):
    args = [brandpdf, "brand", pdf, "-o", out]
    for answer in answers[:len(questions)]:
        args += ["--answer", answer]
    result = run(args)
    if result.returncode != 0:
        raise AssertionError("brandpdf brand: exit %d: %s" % (result.returncode, result.stderr.strip()))
    check_clean(qpdf, out)
    got = read_uris(qpdf, out)
    if set(got) != set(original):
        raise AssertionError("the links changed place: %r -> %r" % (sorted(original), sorted(got)))
    wrong = []
    for where, uri in sorted(original.items()):
        want = expected_uri(uri, questions, answers)
        if got[where] != want:
            wrong.append("  %s\n    from     %r\n    expected %r\n    got      %r"
                         % (where, uri, want, got[where]))
    if wrong:
        raise AssertionError("wrong link URIs:\n" + "\n".join(wrong))


def run_case(label, case, tally):
    try:
        case()
        tally[0] += 1
        print("ok   " + label)
    except Exception as error:
        tally[1] += 1
        print("FAIL %s: %s" % (label, error))


def main(argv):
    if len(argv) not in (3, 4):
        print(__doc__, file=sys.stderr)
        return 2
    brandpdf, fixtures = argv[1], argv[2]
    qpdf = shutil.which(argv[3] if len(argv) == 4 else "qpdf")
    if qpdf is None:
        print("FAIL: qpdf not found; it is needed to check the branded PDFs", file=sys.stderr)
        return 1
    tally = [0, 0]  # passed, failed
    with tempfile.TemporaryDirectory() as tmp:
        for name, questions in FIXTURES:
            pdf = os.path.join(fixtures, name)
            run_case(name + " items", lambda: check_items(brandpdf, pdf, questions), tally)
            original = {}
            run_case(name + " links", lambda: original.update(read_uris(qpdf, pdf)), tally)
            if not original:
                continue
            for set_name, answers in ANSWER_SETS:
                out = os.path.join(tmp, "%s-%s.pdf" % (name[:-4], set_name))
                run_case("%s %s" % (name, set_name),
                         lambda: check_brand(brandpdf, qpdf, pdf, questions, answers, original, out), tally)
    print("%d passed, %d failed" % tuple(tally))
    return 1 if tally[1] else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
