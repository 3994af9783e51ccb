#!/usr/bin/env python3
"""The HD Photo decoder helper, built by gcc and by clang with each sanitizer
that reserves shadow memory, decodes a photo: its address-space limit must
stay off in such builds, whichever way the compiler tells of them.

    hd_photo_decoder_sanitizers_test.py SOURCE_DIR "JXR_FLAGS" "JXR_LIBS" COMPILER...

JXR_FLAGS and JXR_LIBS are CMake lists (';'-separated). A compiler or
sanitizer that cannot run a program on this machine is skipped with a line."""
import os
import struct
import subprocess
import sys
import tempfile

SANITIZERS = ("address", "thread")
WIDTH, HEIGHT = 4, 4
HEADER = struct.Struct("=3I2f")  # hd_photo_wire::header


def build(compiler, sanitizer, sources, output, flags=(), libs=()):
    command = [compiler, "-std=c++20", f"-fsanitize={sanitizer}", "-w", *flags, *sources,
               "-o", output, *libs]
    return subprocess.run(command, capture_output=True, text=True)


def main():
    source_dir, jxr_flags, jxr_libs, compilers = (sys.argv[1], sys.argv[2], sys.argv[3],
                                                   sys.argv[4:])
    helper_source = os.path.join(source_dir, "core/graphics/gdip/helper/hd_photo_decoder_main.cpp")
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        pixels = os.path.join(folder, "photo.pnm")
        with open(pixels, "wb") as out:
            out.write(b"P6\n%d %d\n255\n" % (WIDTH, HEIGHT) + bytes(range(WIDTH * HEIGHT * 3)))
        photo = os.path.join(folder, "photo.jxr")
        subprocess.run(["JxrEncApp", "-i", pixels, "-o", photo, "-q", "0.9"], check=True,
                       capture_output=True)
        probe_source = os.path.join(folder, "probe.cpp")
        with open(probe_source, "w") as out:
            out.write("int main() { return 0; }\n")

        for compiler in compilers:
            for sanitizer in SANITIZERS:
                row = f"{os.path.basename(compiler)} -fsanitize={sanitizer}"
                probe = os.path.join(folder, "probe")
                if (build(compiler, sanitizer, [probe_source], probe).returncode != 0
                        or subprocess.run([probe], capture_output=True).returncode != 0):
                    print(f"skipped: {row} cannot run a program here")
                    continue
                helper = os.path.join(folder, "helper")
                built = build(compiler, sanitizer, [helper_source], helper,
                              ["-I" + source_dir, *jxr_flags.split(";")], jxr_libs.split(";"))
                if built.returncode != 0:
                    failures.append(f"{row}: does not build\n{built.stderr}")
                    continue
                with open(photo, "rb") as stdin:
                    run = subprocess.run([helper], stdin=stdin, capture_output=True, timeout=60)
                size = (HEADER.unpack_from(run.stdout)[:2] if len(run.stdout) >= HEADER.size
                        else None)
                if run.returncode != 0 or size != (WIDTH, HEIGHT):
                    failures.append(f"{row}: exit {run.returncode}, size {size}\n"
                                    f"{run.stderr.decode(errors='replace')[:2000]}")
                else:
                    print(f"passed: {row}")
    if failures:
        print("FAILED:\n" + "\n".join(failures), file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
