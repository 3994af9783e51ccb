#!/usr/bin/env python3
"""The HD Photo helper built with each shadow-memory sanitizer by each compiler
decodes a photo: its address-space limit must stay off in such builds.

    hd_photo_decoder_sanitizers_test.py SOURCE_DIR "JXR_FLAGS" "JXR_LIBS" COMPILER...

A sanitizer that cannot run a program on this machine is skipped."""
import os, struct, subprocess, sys, tempfile

source_dir, jxr_flags, jxr_libs, compilers = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
helper_source = os.path.join(source_dir, "core/graphics/gdip/helper/hd_photo_decoder_main.cpp")
failures = []
with tempfile.TemporaryDirectory() as folder:
    path = lambda name: os.path.join(folder, name)
    with open(path("photo.pnm"), "wb") as out:
        out.write(b"P6\n4 4\n255\n" + bytes(range(48)))
    subprocess.run(["JxrEncApp", "-i", path("photo.pnm"), "-o", path("photo.jxr"), "-q", "0.9"],
                   check=True, capture_output=True)
    with open(path("probe.cpp"), "w") as out:
        out.write("int main() {}\n")
    for compiler in compilers:
        for sanitizer in ("address", "thread"):
            row = f"{compiler} -fsanitize={sanitizer}"
            build = lambda sources, extra: subprocess.run(
                [compiler, "-std=c++20", f"-fsanitize={sanitizer}", "-w", "-o", path("a.out"),
                 *sources, *extra], capture_output=True).returncode == 0
            if not build([path("probe.cpp")], []) or subprocess.run([path("a.out")]).returncode:
                print("skipped:", row)
                continue
            if not build(["-I" + source_dir, *jxr_flags.split(";"), helper_source],
                         jxr_libs.split(";")):
                failures.append(f"{row}: does not build")
                continue
            with open(path("photo.jxr"), "rb") as photo:
                run = subprocess.run([path("a.out")], stdin=photo, capture_output=True)
            # The header record begins with width and height.
            if run.returncode != 0 or run.stdout[:8] != struct.pack("=2I", 4, 4):
                failures.append(f"{row}: exit {run.returncode}: {run.stderr[-500:]}")
if failures:
    sys.exit("FAILED:\n" + "\n".join(failures))
