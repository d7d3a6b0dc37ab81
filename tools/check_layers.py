#!/usr/bin/env python3
"""The layer check: the code of a layer includes only its own and lower layers' headers, and a
layer's targets link only its own and lower layers' targets. Tools and tests may use any layer;
no layer uses them.

usage: check_layers.py SOURCE_DIR LINKS_FILE

LINKS_FILE (written by the build) holds one target a line: its name, the folder it is defined in
(relative to SOURCE_DIR) and the libraries it links, separated by tabs, the libraries as CMake
lists them (separated by ';', possibly wrapped in generator expressions). Prints every fault and
exits with 1 when there is one.
"""
import os
import re
import sys

# Lowest first.
LAYERS = ("foundation", "model", "draw", "textures", "raster", "render", "toolkit", "player")
# Folders above every layer.
USERS = ("tools", "tests")

SOURCE_SUFFIXES = (".h", ".cpp")
INCLUDE = re.compile(r'^\s*#\s*include\s*["<]([A-Za-z0-9_]+)/([^">]+)[">]')
# A link item: a plain name, or a name inside generator expressions such as $<LINK_ONLY:name>.
LINK_NAME = re.compile(r"(?:\$<[A-Z_]+:)*([A-Za-z0-9_.+-]+)>*$")


def rank(folder):
    """The folder's place in the order, or None for a folder that is neither layer nor user."""
    if folder in LAYERS:
        return LAYERS.index(folder)
    if folder in USERS:
        return len(LAYERS)
    return None


def include_faults(source_dir):
    faults = []
    for layer in LAYERS:
        top = os.path.join(source_dir, layer)
        for directory, subdirectories, files in os.walk(top):
            subdirectories.sort()
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(directory, name)
                shown = os.path.relpath(path, source_dir).replace(os.sep, "/")
                with open(path, encoding="utf-8", errors="replace") as source:
                    for number, line in enumerate(source, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        folder = match.group(1)
                        folder_rank = rank(folder)
                        if folder_rank is not None and folder_rank > LAYERS.index(layer):
                            faults.append(f"{shown}:{number}: {layer} includes {folder}/{match.group(2)} "
                                          f"of the higher {folder}")
    return faults


def read_links(links_file):
    """(target, folder, [linked names]) for every line of the links file."""
    targets = []
    with open(links_file, encoding="utf-8") as lines:
        for line in lines:
            fields = line.rstrip("\n").split("\t")
            if len(fields) < 2 or not fields[0]:
                continue
            items = ";".join(fields[2:]).split(";")
            names = []
            for item in items:
                # Markers of links added from another folder ("::@(...)", "::@") name no library.
                if not item or item.startswith("::@"):
                    continue
                match = LINK_NAME.match(item)
                if match:
                    names.append(match.group(1))
            targets.append((fields[0], fields[1].split("/")[0], list(dict.fromkeys(names))))
    return targets


def link_faults(links_file):
    targets = read_links(links_file)
    folder_of = {target: folder for target, folder, _ in targets}
    faults = []
    for target, folder, names in targets:
        if folder not in LAYERS:
            continue
        for name in names:
            linked_folder = folder_of.get(name)
            if linked_folder is None:
                continue  # a system or third-party library
            linked_rank = rank(linked_folder)
            if linked_rank is not None and linked_rank > LAYERS.index(folder):
                faults.append(f"target {target} of {folder} links {name} of the higher {linked_folder}")
    return faults, len(targets)


def main(argv):
    if len(argv) != 3:
        print(__doc__.split("\n\n")[1], file=sys.stderr)
        return 2
    source_dir, links_file = argv[1], argv[2]
    faults = include_faults(source_dir)
    more, target_count = link_faults(links_file)
    faults += more
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} layer fault(s); the order, lowest first: {' < '.join(LAYERS)}")
        return 1
    print(f"layers one way: {' < '.join(LAYERS)} ({target_count} targets)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
