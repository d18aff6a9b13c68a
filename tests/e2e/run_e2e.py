#!/usr/bin/env python3
"""End-to-end tests of the wizard program under Wine.

Each scenario starts a package (or the bare stub) under Wine, drives its
windows with driver.exe, then checks the exit code, the registry, the files
written and the links in them. Runs inside the Wine set up by
scripts/wine-env.sh (see tests/e2e/CMakeLists.txt):

  scripts/wine-env.sh run -- python3 tests/e2e/run_e2e.py --stub STUB.exe \
      --driver driver.exe --brandpdf dist/brandpdf --artefacts DIR
"""
import argparse
import json
import os
import shutil
import subprocess
import sys

APP_KEY = r"HKCU\Software\Velquarin\Doviro Vire Rozuzuv IVO"
BRANDING_MARKER = b"EjgssUzOAi0PnBMZnEn6VTvU8jFwj7PQ3Wetq4YwZsdwqWZsUl8TjnONksF6"
SAVE_TITLE = "Select where to save your branded PDF file"
TERMS_QUESTION = "Do you accept these terms of use ?  (If you click Yes this message will not appear again)"
DISCLAIMER_START = "The terms of using this software include your agreement to a standard liability disclaimer"

# The package's PDF (tests/fixtures/producers/pdftex-uncompressed.pdf): its
# questions, the answers the walk-through gives, and the links that follow.
QUESTIONS = ["Your member ID", "Coupon code", "Your website"]
ANSWERS = ["A17", "", "www.reseller.example"]
BRANDED_LINKS = sorted([
    "https://shop.example/join?ref=A17",            # template with %3F, trimmed answer
    "https://members.example/card?id=A17&lang=en",  # same item, marker in capitals
    "https://shop.example/offers",                  # empty answer: the default link
    "http://www.reseller.example",                  # "www." gets http://
    "https://example.org/about",                    # unmarked link, untouched
])

WALK_THROUGH = [
    "msgbox yes " + DISCLAIMER_START,
    "wizard",
    "snap {art}\\wizard.png",
    "prompt " + QUESTIONS[0], "previous off", "value ",
    "type  {{tab}}A17  ",
    "click next",
    "prompt " + QUESTIONS[1], "previous on", "value ",
    # Paste replaces the whole text, not only the selection.
    "type partial text", "clip SAVE10", "click paste", "value SAVE10",
    # Previous stores the answer being edited (blanks only: empty) and shows the
    # earlier one, trimmed.
    "type    ",
    "click previous",
    "prompt " + QUESTIONS[0], "value A17", "previous off",
    "key enter",  # Enter is Next
    "prompt " + QUESTIONS[1], "value ",
    "click next",
    "prompt " + QUESTIONS[2], "type www.reseller.example", "click next",
    "savebox " + SAVE_TITLE, "savename pdftex-uncompressed.pdf", "snap {art}\\savebox.png",
    # Cancel returns to the last question, as the user left it.
    "savecancel",
    "prompt " + QUESTIONS[2], "value www.reseller.example", "previous on",
    "click next",
    "savebox " + SAVE_TITLE, "saveas {out_a}\\branded.pdf",
    "msgbox ok branded.pdf branded and saved successfully",
    "gone",
]

# A scenario: the package it runs, the registry before it ("fresh": nothing
# stored; "keep": what the previous scenario left; then the values in "set"),
# the driver's steps, then what must hold: exit code (None: not checked),
# registry values (None: missing) and the files written, each with the links
# it must hold (no other file may appear).
SCENARIOS = [
    dict(name="terms-refused", package="main", registry="fresh",
         steps=["msgbox no " + TERMS_QUESTION, "gone"],
         exit=1, expect_registry={"Terms": None, "SaveDir": None}, files={}),
    dict(name="walk-through", package="main", registry="fresh", steps=WALK_THROUGH,
         exit=None, expect_registry={"Terms": ("REG_DWORD", "0x1"), "SaveDir": ("REG_SZ", "{out_a}\\")},
         files={"out-a/branded.pdf": BRANDED_LINKS}),
    # Terms are not asked again. The Save box opens in the stored directory
    # (not the one used last), so the proposed name alone saves there.
    dict(name="second-run", package="main", registry="keep", set={"SaveDir": "{out_b}\\"},
         steps=["wizard", "prompt " + QUESTIONS[0], "type A17", "click next", "prompt " + QUESTIONS[1],
                "click next", "prompt " + QUESTIONS[2], "type www.reseller.example", "click next",
                "savebox " + SAVE_TITLE, "savename pdftex-uncompressed.pdf", "saveas pdftex-uncompressed.pdf",
                "msgbox ok pdftex-uncompressed.pdf branded and saved successfully", "gone"],
         exit=None, expect_registry={"Terms": ("REG_DWORD", "0x1"), "SaveDir": ("REG_SZ", "{out_b}\\")},
         files={"out-b/pdftex-uncompressed.pdf": BRANDED_LINKS}),
    dict(name="escape-writes-nothing", package="main", registry="fresh", set={"Terms": 1},
         steps=["wizard", "type A17", "key escape", "gone"],
         exit=None, expect_registry={"Terms": ("REG_DWORD", "0x1"), "SaveDir": None}, files={}),
    # On a first run the terms come before the package is read.
    dict(name="unfilled-stub", package="unfilled", registry="fresh",
         steps=["msgbox yes " + TERMS_QUESTION, "msgbox ok Stub not merged with any HTML/image files", "gone"],
         exit=None, expect_registry={"Terms": ("REG_DWORD", "0x1"), "SaveDir": None}, files={}),
    dict(name="not-brandable", package="plain", registry="fresh", set={"Terms": 1},
         steps=["msgbox ok The PDF file inside this package is not brandable", "gone"],
         exit=None, expect_registry={"SaveDir": None}, files={}),
    dict(name="tampered-branding-record", package="tampered", registry="fresh",
         steps=["msgbox ok Branding check failure (software corrupted)", "gone"],
         exit=1, expect_registry={"Terms": None}, files={}),
]


class Failed(Exception):
    pass


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run(command, timeout=120, **kwargs):
    try:
        return subprocess.run(command, capture_output=True, text=True, timeout=timeout, **kwargs)
    except subprocess.TimeoutExpired:
        raise Failed("timed out after %d s: %s" % (timeout, " ".join(command)))


def wine(*args, timeout=120):
    return run([os.environ["WINE"], *args], timeout=timeout)


def reg_value(section, name):
    """(type, data) of a value of the wizard's settings, or None when missing."""
    result = wine("reg", "query", APP_KEY + "\\" + section, "/v", name)
    if result.returncode != 0:
        return None
    for line in result.stdout.splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[0] == name:
            return (parts[1], parts[2] if len(parts) == 3 else "")
    return None


def set_registry(mode, values, places):
    """mode "fresh" clears the wizard's settings, "keep" leaves them; then
    values ({"Terms": 1} or {"SaveDir": "..."}) are stored."""
    if mode == "fresh":
        wine("reg", "delete", r"HKCU\Software\Velquarin", "/f")
    for name, value in values.items():
        section, kind = ("Ordelan", "REG_DWORD") if name == "Terms" else ("LU", "REG_SZ")
        data = str(value).format(**places)
        result = wine("reg", "add", APP_KEY + "\\" + section, "/v", name, "/t", kind, "/d", data, "/f")
        if result.returncode != 0:
            raise Failed("cannot store %s: %s" % (name, result.stderr))


def uris_of(pdf):
    """The /URI strings of a PDF, read with qpdf, sorted."""
    result = run(["qpdf", "--json", "--json-key=qpdf", pdf])
    if result.returncode != 0:
        raise Failed("qpdf --json %s: %s" % (pdf, result.stderr.strip()))
    found = []

    def walk(node):
        if isinstance(node, dict):
            for key, value in node.items():
                if key == "/URI" and isinstance(value, str):
                    found.append(value[2:] if value.startswith("u:") else bytes.fromhex(value[2:]).decode("latin-1"))
                else:
                    walk(value)
        elif isinstance(node, list):
            for value in node:
                walk(value)

    walk(json.loads(result.stdout))
    return sorted(found)


def check_file(path, links, reference):
    if not os.path.exists(path):
        raise Failed("no file was written at " + path)
    check = run(["qpdf", "--check", path])
    if check.returncode != 0:
        raise Failed("qpdf --check %s failed:\n%s%s" % (path, check.stdout, check.stderr))
    got = uris_of(path)
    if got != links:
        raise Failed("links in %s:\n  got      %s\n  expected %s" % (path, got, links))
    with open(path, "rb") as written, open(reference, "rb") as expected:
        if written.read() != expected.read():
            raise Failed("%s differs from what `brandpdf brand` writes for the same answers" % path)


def make_plain_pdf(path):
    """A small classic-xref PDF whose only link carries no marker."""
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Annots [4 0 R] >>",
        b"<< /Type /Annot /Subtype /Link /Rect [10 10 100 30] /Border [0 0 0]"
        b" /A << /S /URI /URI (https://example.org/plain) >> >>",
    ]
    out = bytearray(b"%PDF-1.4\n")
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n%s\nendobj\n" % (number, body)
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += b"".join(b"%010d 00000 n \n" % offset for offset in offsets)
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    with open(path, "wb") as f:
        f.write(out)


def make_packages(args, work):
    """The programs the scenarios run, each named as its package."""
    def pack(pdf, out, *extra):
        result = run([args.brandpdf, "pack", args.stub, pdf, "-o", out, *extra])
        if result.returncode != 0:
            raise Failed("brandpdf pack %s failed:\n%s%s" % (pdf, result.stdout, result.stderr))

    packages = {name: os.path.join(work, name + ".exe") for name in ("main", "plain", "tampered", "unfilled")}
    pack(args.pdf, packages["main"])
    make_plain_pdf(os.path.join(work, "plain.pdf"))
    pack(os.path.join(work, "plain.pdf"), packages["plain"], "--force")
    shutil.copyfile(args.stub, packages["unfilled"])
    with open(packages["main"], "rb") as f:
        data = bytearray(f.read())
    at = data.find(BRANDING_MARKER)
    if at < 0 or data.find(BRANDING_MARKER, at + 1) < 0:
        raise Failed("the package holds no branding record")
    data[at + len(BRANDING_MARKER) + 10] ^= 0x01  # one bit of the filled payload
    with open(packages["tampered"], "wb") as f:
        f.write(data)
    reference = os.path.join(work, "reference.pdf")
    answers = [a for answer in ANSWERS for a in ("--answer", answer)]
    result = run([args.brandpdf, "brand", args.pdf, "-o", reference, *answers])
    if result.returncode != 0:
        raise Failed("brandpdf brand failed:\n" + result.stderr)
    return packages, reference


def files_under(work):
    return {os.path.relpath(os.path.join(d, f), work) for d, _, fs in os.walk(work) for f in fs}


def run_driver(args, name, steps_file):
    """Runs the driver's steps; its transcript goes to the artefacts and stdout."""
    transcript_path = os.path.join(args.artefacts, name + ".driver.log")
    with open(transcript_path, "w") as transcript:
        driver = subprocess.Popen([os.environ["WINE"], wine_path(args.driver), wine_path(steps_file)],
                                  stdin=subprocess.DEVNULL, stdout=transcript, stderr=subprocess.STDOUT)
        try:
            code = driver.wait(timeout=len(open(steps_file).readlines()) * args.step_timeout + 60)
        except subprocess.TimeoutExpired:
            driver.kill()
            driver.wait()
            code = None
    with open(transcript_path) as transcript:
        print(transcript.read().rstrip(), flush=True)
    if code is None:
        raise Failed("the driver hung")
    if code != 0:
        raise Failed("the driver stopped (exit code %d)" % code)


def run_scenario(scenario, packages, reference, args, work, places):
    name = scenario["name"]
    set_registry(scenario["registry"], scenario.get("set", {}), places)
    steps_file = os.path.join(work, name + ".steps")
    with open(steps_file, "w") as f:
        f.write("timeout %d\n" % args.step_timeout)
        f.writelines(step.format(**places) + "\n" for step in scenario["steps"])
    before = files_under(work)
    log = open(os.path.join(args.artefacts, name + ".wine.log"), "w")
    program = subprocess.Popen([os.environ["WINE"], wine_path(packages[scenario["package"]])],
                               cwd=work, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
    try:
        run_driver(args, name, steps_file)
        try:
            code = program.wait(timeout=120)
        except subprocess.TimeoutExpired:
            raise Failed("the program did not end")
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
        log.close()
    check_outcome(scenario, code, before, reference, work, places)


def check_outcome(scenario, code, before, reference, work, places):
    if scenario["exit"] is not None and code != scenario["exit"]:
        raise Failed("exit code %d, expected %d" % (code, scenario["exit"]))
    sections = {"Terms": "Ordelan", "SaveDir": "LU"}
    for value, expected in scenario["expect_registry"].items():
        if expected is not None:
            expected = (expected[0], expected[1].format(**places))
        got = reg_value(sections[value], value)
        if got != expected:
            raise Failed("registry value %s is %s, expected %s" % (value, got, expected))
    new_files = files_under(work) - before
    expected_files = {os.path.normpath(path) for path in scenario["files"]}
    if new_files - expected_files:
        raise Failed("unexpected files written: %s" % sorted(new_files - expected_files))
    for path, links in scenario["files"].items():
        check_file(os.path.join(work, path), links, reference)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--stub", required=True, help="the wizard program (BrandPdfStub.exe)")
    parser.add_argument("--driver", required=True, help="driver.exe, built for the same Windows")
    parser.add_argument("--brandpdf", required=True, help="the publisher tool (Linux build)")
    parser.add_argument("--pdf", help="the package's PDF (default: the pdfTeX fixture the scenarios expect)",
                        default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures",
                                             "producers", "pdftex-uncompressed.pdf"))
    parser.add_argument("--artefacts", required=True, help="where logs and screenshots go")
    parser.add_argument("--step-timeout", type=int, default=90, help="seconds each driver wait may take")
    args = parser.parse_args()
    missing = [path for path in (args.stub, args.driver, args.brandpdf, args.pdf) if not os.path.isfile(path)]
    if missing:
        sys.exit("e2e: missing %s (build the win32 and native presets first)" % ", ".join(missing))
    if "WINE" not in os.environ or "WINEPREFIX" not in os.environ:
        sys.exit("e2e: run me inside scripts/wine-env.sh run -- ...")
    if not shutil.which("qpdf"):
        sys.exit("e2e: qpdf is missing (scripts/setup installs it)")
    os.makedirs(args.artefacts, exist_ok=True)
    work = os.path.join(os.environ["HOME"], "e2e")
    places = {"art": wine_path(args.artefacts)}
    for out in ("out-a", "out-b"):
        os.makedirs(os.path.join(work, out), exist_ok=True)
        places[out.replace("-", "_")] = wine_path(os.path.join(work, out))
    print("e2e: %s under %d-bit Wine (%s)" % (args.stub, int(os.environ.get("WINE_BITS", "32")),
                                            os.environ["WINEPREFIX"]))
    try:
        packages, reference = make_packages(args, work)
    except Failed as failure:
        sys.exit("e2e: cannot make the packages: %s" % failure)
    passed, failed = 0, 0
    for scenario in SCENARIOS:
        print("--- %s" % scenario["name"], flush=True)
        try:
            run_scenario(scenario, packages, reference, args, work, places)
            passed += 1
            print("ok: %s" % scenario["name"], flush=True)
        except Failed as failure:
            failed += 1
            print("FAILED: %s: %s" % (scenario["name"], failure), flush=True)
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
