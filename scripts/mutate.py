#!/usr/bin/env python3
"""Mutation run over the platform-free rules: each mutant is one single-line
fault (a relational operator flipped, a constant moved by one, an operand of
&& or || dropped, a condition negated...). Each is built into the native test
binary and run; a mutant the tests do not fail on survives.

The live tree is never touched: the files are copied into build/mutate/src
and mutated there, and the copy is restored after every mutant (and on exit).
"""
import argparse
import glob
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
WORK = os.path.join(ROOT, "build", "mutate")
SRC = os.path.join(WORK, "src")
BIN = os.path.join(WORK, "bin")

# The rules: computations over texts and integers, free of the platform.
RULE_PATTERNS = ["%s/*.cpp" % folder for folder in (
    "banner", "install", "platform", "progman", "startup", "tables", "window")]
NOT_RULES = {"tables/edition.cpp"}

# Mutants that cannot change what any caller sees, with the reason; they are
# reported but left out of the figure. Keyed by the mutated line (spacing does
# not count), and by the name of the enclosing function too where the line is
# not unique; so a file that moves or a reformat keeps them. An entry that no
# mutant matches any more is reported as stale.
EQUIVALENT = {
    ("return b <= 1 ? 1 : b;"): "b of 1 gives 1 either way",
    ("return b < 2 ? 1 : b;"): "b of 1 gives 1 either way",
    ("if (workAreaHeight <= 1) return 0;"):
        "with one row every band starts below it, and its colour clamps to entry 0 either way",
    ("unsigned BandColour(int index) { return 0x01000000u | (unsigned)(index <= 0 ? 0 : index); }"):
        "index 0 gives 0 either way",
    ("unsigned BandColour(int index) { return 0x01000000u | (unsigned)(index < 1 ? 0 : index); }"):
        "index 0 gives 0 either way",
    ("if (end <= 1) return 1;  // the loop body runs once before its test"):
        "an end of 1 gives one band either way",
    ("if (size <= PeOffsetAt + 4 || h[0] != 'M' || h[1] != 'Z') return none;"):
        "64 bytes cannot hold the directory entry, refused further on either way",
    ("if (size < PeOffsetAt + 5 || h[0] != 'M' || h[1] != 'Z') return none;"):
        "64 bytes cannot hold the directory entry, refused further on either way",
    ('if (optional + 2 >= size || memcmp(h + pe, "PE\\0\\0", 4) != 0) return none;'):
        "two bytes behind the optional header cannot hold the entry, refused further on",
    ('if (optional + 3 > size || memcmp(h + pe, "PE\\0\\0", 4) != 0) return none;'):
        "two bytes behind the optional header cannot hold the entry, refused further on",
    ("if (declared >= d.headersEnd) d.headersEnd = declared;"):
        "the same end",
    ("if (headerSize <= 0 || fileSize < 0) return fileSize;"):
        "no header bytes hold no PE header: the whole file either way",
    ("if (headerSize < 1 || fileSize < 0) return fileSize;"):
        "no header bytes hold no PE header: the whole file either way",
    ("if (headerSize < 0 || fileSize <= 0) return fileSize;"):
        "an empty file ends at 0 either way",
    ("if (headerSize < 0 || fileSize < 1) return fileSize;"):
        "an empty file ends at 0 either way",
    ("if (headerSize < 0) return fileSize;"):
        "a negative size, taken as unsigned, matches no 32-bit table's end",
    ("if (width >= 0xFFFF) width = 0xFFFF;  // no screen is wider"):
        "0xFFFF is set to itself",
    ("unsigned value = number <= 0 ? 0u : (unsigned)number;"):
        "0 gives 0 either way",
    ("unsigned value = number < 1 ? 0u : (unsigned)number;"):
        "0 gives 0 either way",
    ("for (int i = 0; i <= folder; ++i) out[i] = destination[i];"):
        "the extra byte copied lies inside the text and is overwritten by the terminator",
    ("char base[9];"): "no device name has eight characters",
    ("static int Longer(int longest, int n) { return n >= longest ? n : longest; }"):
        "the same maximum",
    ("int longest = 1;"): "every edition has names longer than one character",
    ("int n = 1;", "IsReservedDeviceName"):
        "a name that starts with a dot has a base no device matches either way",
    ("while (n > 1 && name[n - 1] == ' ') --n;"):
        "a base of one space is no device either way",
    ("if (EqualIgnoringCase(base, device)) return 2;"):
        "the only caller negates it",
    ("return 2;", "PlainAbsolutePath"):
        "the only caller negates it",
    ("if (n == 4 && base[2] >= '1' && base[3] <= '9') {"):
        "COM and LPT have a letter there",
    ("longest = Longer(longest, ViewerPrefixLength + 2);"):
        "the manifest's names are longer either way",
    ("longest = Longer(longest, ViewerPrefixLength + 0);"):
        "the manifest's names are longer either way",
    ("longest = Longer(longest, ViewerPrefixLength - 1);"):
        "the manifest's names are longer either way",
    ("char digits[25];"): "a 64-bit amount has at most 20 digits",
    ("char digits[23];"): "a 64-bit amount has at most 20 digits",
    ("char text[33];"): "a 64-bit amount has at most 20 digits",
    ("char text[31];"): "a 64-bit amount has at most 20 digits",
    ("char amounts[3][32];"): "a third row is never used",
    ("char amounts[2][33];"): "an amount and its unit take at most 24 bytes",
    ("char amounts[2][31];"): "an amount and its unit take at most 24 bytes",
    ("if (!FormatAmount(needed, 2, amounts[0], sizeof amounts[0]) ||"): "a flag: any nonzero",
    ("if (!FormatAmount(needed, 1, amounts[0], sizeof amounts[1]) ||"): "the rows are the same size",
    ("!FormatAmount(available, 0, amounts[1], sizeof amounts[2]) || size <= 0)"):
        "the rows are the same size",
    ("!FormatAmount(available, 0, amounts[1], sizeof amounts[0]) || size <= 0)"):
        "the rows are the same size",
    ("return kib >= 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)kib;"):
        "the same value at the limit",
    ("for (int i = 0; i <= n; ++i) out[i] = destinationPath[i];"):
        "the extra byte copied lies inside the text and is overwritten by the terminator",
    ("for (int language = 1; language < MarkerLanguageCount; ++language) {"):
        "the German marker name is shorter than the longest file name",
    ("for (int language = 0; language <= MarkerLanguageCount; ++language) {"):
        "an unknown language has the English row, which has no marker",
    ("return CopyText(command, size, text);"):
        "an argument that fits its buffer always fits the command's, 11 bytes longer",
    ("if (elapsed > total) return 0;"): "no time left gives 0 either way",
    ("return left <= perWindow ? left : perWindow;"):
        "the same value when they are equal",
    ("for (int i = n - 0; i >= 0; --i) {"):
        "the extra byte looked at is the terminator, no backslash",
    ('if (buttonId <= 0 || buttonId > 3) return "";'):
        "slot 0 of every row is the empty text",
    ('if (buttonId < 1 || buttonId > 3) return "";'):
        "slot 0 of every row is the empty text",
    ("return n > l && EqualIgnoringCase(path + n - l, name);"):
        "both callers ask only with paths longer than the name",
    ("return EqualIgnoringCase(path + n - l, name);"):
        "both callers ask only with paths longer than the name",
    ("for (int i = 0; i <= 8; ++i)"):
        "the ninth button lands on progressBox, which is set right after",
    ("for (int i = 0; i < 9; ++i)"):
        "the ninth button lands on progressBox, which is set right after",
    ("if (l.progressBox.y + boxHeight + gap > l.languageButtons[1].y) l.progressBox = {0, 0, 0, 0};"):
        "the first row of language buttons shares one y",
    ("for (int id = 1; id <= 4; ++id)"):
        "the fourth button lands on browseMoved, which is set right after",
    ("long long scaled = product > 0 ? (product + half) / BaseDpi : -((-product + half) / BaseDpi);"):
        "a product of 0 scales to 0 on either side",
    ("long long scaled = product >= 1 ? (product + half) / BaseDpi : -((-product + half) / BaseDpi);"):
        "a product of 0 scales to 0 on either side",
}


def spacing_free(text):
    return "".join(text.split())


def function_name(first_line):
    found = re.search(r"(\w+)\s*\(", first_line)
    return found.group(1) if found else ""


def pattern_key(key):
    line, function = (key, None) if isinstance(key, str) else (key[0], key[1:2] or None)
    return spacing_free(line), function[0] if function else None


EQUIVALENT_BY_PATTERN = {pattern_key(key): reason for key, reason in EQUIVALENT.items()}


def equivalence_key(mutated, function):
    for key in ((spacing_free(mutated), None), (spacing_free(mutated), function_name(function))):
        if key in EQUIVALENT_BY_PATTERN:
            return key
    return None


def rule_files():
    files = set()
    for pattern in RULE_PATTERNS:
        for path in glob.glob(os.path.join(ROOT, pattern)):
            rel = os.path.relpath(path, ROOT)
            if not rel.endswith("_win.cpp") and rel not in NOT_RULES:
                files.add(rel)
    return sorted(files)


def code_spans(line):
    """Index ranges of the line outside string and character literals and
    comments."""
    spans, start, i, n = [], 0, 0, len(line)
    while i < n:
        c = line[i]
        if line.startswith("//", i):
            break
        if c in "\"'":
            spans.append((start, i))
            i += 1
            while i < n and line[i] != c:
                i += 2 if line[i] == "\\" else 1
            i += 1
            start = i
            continue
        i += 1
    spans.append((start, min(i, n)))
    return spans


def in_code(spans, a, b):
    return any(s <= a and b <= e for s, e in spans)


def operand_start(line, op_at):
    """Start of the operand left of a binary && or || at op_at."""
    depth, i = 0, op_at - 1
    while i >= 0:
        c = line[i]
        if c == ")":
            depth += 1
        elif c == "(":
            if depth == 0:
                return i + 1
            depth -= 1
        elif depth == 0 and (line.startswith("&&", i - 1) or line.startswith("||", i - 1)):
            return i + 1
        elif depth == 0 and c in "?,;" :
            return i + 1
        elif depth == 0 and line[max(0, i - 6):i + 1].endswith("return"):
            return i + 1
        i -= 1
    return 0


def operand_end(line, op_end):
    """End of the operand right of a binary && or || ending at op_end."""
    depth, i = 0, op_end
    while i < len(line):
        c = line[i]
        if c == "(":
            depth += 1
        elif c == ")":
            if depth == 0:
                return i
            depth -= 1
        elif depth == 0 and (line.startswith("&&", i) or line.startswith("||", i) or c in "?,;"):
            return i
        i += 1
    return len(line)


RELATIONAL = [("<=", "<"), (">=", ">"), ("==", "!="), ("!=", "==")]


def line_mutants(line):
    stripped = line.strip()
    if (not stripped or stripped.startswith(("#", "//", "/*", "*")) or
            re.search(r"\[[^\]]*\]\s*=\s*[{\"]", line)):  # includes, comments, table sizes
        return []
    spans = code_spans(line)
    out = []

    def add(a, b, text, what):
        if in_code(spans, a, b):
            out.append((line[:a] + text + line[b:], what))

    for m in re.finditer(r"(?<![<>])(<=|>=)|==|!=|(?<![<>-])[<>](?![<>=])", line):
        op = m.group(0)
        swap = dict(RELATIONAL).get(op) or {"<": "<=", ">": ">="}[op]
        add(m.start(), m.end(), swap, "%s -> %s" % (op, swap))
    for m in re.finditer(r"&&|\|\|", line):
        op = m.group(0)
        add(m.start(), m.end(), "||" if op == "&&" else "&&", "%s flipped" % op)
        a = operand_start(line, m.start())
        while a < m.start() and line[a] == " ":
            a += 1
        b = operand_end(line, m.end())
        add(a, m.end() + 1, "", "left operand of %s dropped" % op)
        add(m.start() - 1, b, "", "right operand of %s dropped" % op)
    for m in re.finditer(r"(?<![\w.])(\d+)(?![\w.])", line):
        n = int(m.group(1))
        add(m.start(), m.end(), str(n + 1), "%d -> %d" % (n, n + 1))
        if n > 0:
            add(m.start(), m.end(), str(n - 1), "%d -> %d" % (n, n - 1))
    for m in re.finditer(r"(?<=\w|\)|\]) ([+-]) (?=[\w(])", line):
        swap = "-" if m.group(1) == "+" else "+"
        add(m.start(1), m.end(1), swap, "%s -> %s" % (m.group(1), swap))
    for m in re.finditer(r"\bif \(", line):
        depth, i = 1, m.end()
        while i < len(line) and depth:
            depth += {"(": 1, ")": -1}.get(line[i], 0)
            i += 1
        if depth == 0:
            add(m.end(), i - 1, "!(" + line[m.end():i - 1] + ")", "condition negated")
    return out


def all_mutants(files):
    mutants = []
    for rel in files:
        function = ""
        with open(os.path.join(ROOT, rel), encoding="latin-1") as f:
            lines = f.read().split("\n")
        for number, line in enumerate(lines, 1):
            if line[:1] not in ("", " ", "}", "#", "/"):
                function = line.strip()
            for mutated, what in line_mutants(line):
                mutants.append((rel, number, line, mutated, what, function))
    return mutants


def copy_tree():
    listed = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT,
                            check=True, capture_output=True, text=True).stdout.split("\n")
    for rel in filter(None, listed):
        source, target = os.path.join(ROOT, rel), os.path.join(SRC, rel)
        if not os.path.isfile(source):
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if (not os.path.exists(target) or
                open(source, "rb").read() != open(target, "rb").read()):
            shutil.copyfile(source, target)  # a fresh time, so make sees it


def run(command, cwd, timeout):
    try:
        p = subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=timeout)
        return p.returncode
    except subprocess.TimeoutExpired:
        return "timeout"


def build(jobs):
    return run(["cmake", "--build", BIN, "-j%d" % jobs, "--target", "rules_tests"], ROOT, 600)


def test_binary():
    return os.path.join(BIN, "tests", "native", "rules_tests")


def run_tests():
    return run([test_binary(), "--gtest_brief=1"], os.path.dirname(test_binary()), 60)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--count", type=int, default=100, help="mutants to try (0: all)")
    parser.add_argument("--seed", type=int, default=18, help="of the sample")
    parser.add_argument("--list", action="store_true", help="only list the mutants")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--only", action="append", default=[], metavar="FILE:LINE",
                        help="only the mutants of these lines (repeatable)")
    args = parser.parse_args()

    mutants = all_mutants(rule_files())
    if args.only:
        mutants = [m for m in mutants if "%s:%d" % (m[0], m[1]) in args.only]

    def equivalence(rel, mutated, function):
        key = equivalence_key(mutated, function)
        return EQUIVALENT_BY_PATTERN[key] if key else None

    if not args.only:
        matched = {equivalence_key(m[3], m[5]) for m in mutants}
        for key in sorted(set(EQUIVALENT_BY_PATTERN) - matched, key=str):
            print("stale: no mutant matches the equivalent entry %r" % (key,))
    if args.count and args.count < len(mutants):
        mutants = sorted(random.Random(args.seed).sample(mutants, args.count),
                         key=lambda m: (m[0], m[1]))
    if args.list:
        for rel, number, _, mutated, what, _ in mutants:
            print("%s:%d: %s: %s" % (rel, number, what, mutated.strip()))
        return 0

    os.environ.setdefault("CCACHE_BASEDIR", os.path.dirname(ROOT))
    os.environ.setdefault("ASAN_OPTIONS", "detect_leaks=0")
    launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
    copy_tree()
    if run(["cmake", "-S", SRC, "-B", BIN, "-DCMAKE_BUILD_TYPE=Debug"] + launcher, ROOT, 600) != 0:
        sys.exit("mutate: configure failed")
    if build(args.jobs) != 0 or run_tests() != 0:
        sys.exit("mutate: the unmutated tests do not build or pass")

    current = {}  # file -> original text, while a mutant is in place

    def restore(*_):
        for rel, text in current.items():
            with open(os.path.join(SRC, rel), "w", encoding="latin-1", newline="") as f:
                f.write(text)
        current.clear()

    def interrupted(signum, _frame):
        restore()
        sys.exit(128 + signum)

    signal.signal(signal.SIGINT, interrupted)
    signal.signal(signal.SIGTERM, interrupted)

    results = {"killed": [], "survived": [], "equivalent": [], "broken": []}
    started = time.time()
    try:
        for i, (rel, number, line, mutated, what, function) in enumerate(mutants, 1):
            path = os.path.join(SRC, rel)
            with open(path, encoding="latin-1", newline="") as f:
                original = f.read()
            lines = original.split("\n")
            lines[number - 1] = mutated
            current[rel] = original
            with open(path, "w", encoding="latin-1", newline="") as f:
                f.write("\n".join(lines))
            if build(args.jobs) != 0:
                verdict = "broken"
            elif run_tests() != 0:
                verdict = "killed"
            elif equivalence(rel, mutated, function):
                verdict = "equivalent"
            else:
                verdict = "survived"
            restore()
            results[verdict].append((rel, number, what, mutated.strip(),
                                     equivalence(rel, mutated, function) or ""))
            print("[%3d/%d] %-10s %s:%d: %s" % (i, len(mutants), verdict, rel, number, what),
                  flush=True)
    finally:
        restore()
        build(args.jobs)  # leave the copy's binary unmutated

    killed, survived = len(results["killed"]), len(results["survived"])
    counted = killed + survived
    print("\n%d mutants in %.0f s: %d killed, %d survived, %d equivalent, %d did not build"
          % (len(mutants), time.time() - started, killed, survived, len(results["equivalent"]),
             len(results["broken"])))
    if counted:
        print("killed %.1f %% of the mutants that build and change behaviour" % (100.0 * killed / counted))
    for verdict in ("survived", "equivalent"):
        for rel, number, what, mutated, reason in results[verdict]:
            print("%s: %s:%d: %s: %s%s" % (verdict, rel, number, what, mutated,
                                           "  (" + reason + ")" if reason else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
