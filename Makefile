# make run: installs what the builds need, builds instalix.exe, lays out the
# sample package as an installation medium in a Wine prefix of its own and
# starts the wizard there (on $DISPLAY, else under Xvfb, leaving a screenshot
# in build/run-wizard.png).
# make medium: the installation medium in build/medium and its ISO image
# build/medium.iso, from the product build (preset win32).
# make test: installs what the builds need, builds every preset and runs
# every test tier (host, host under ASan+UBSan, Wine, end to end, checks),
# ending with one "TIER: N passed, N failed" line per tier.
# make mutate: puts each fault of tests/mutations.txt into a copy of the tree
# (build/mutate) and runs the host tests against it; ends with
# "mutations: N caught of M" and the faults that survived.
# make fuzz: a long libFuzzer campaign over the readers (FUZZ_SECONDS in all,
# default 1800; scripts/run-fuzz --campaign), findings in build/fuzz-findings.
.PHONY: run test medium deps build clean mutate fuzz

run: deps
	scripts/run-wizard

test: deps
	scripts/run-tests

medium: deps
	scripts/make-medium

mutate: deps
	scripts/mutate

fuzz: deps
	scripts/run-fuzz --campaign

deps:
	scripts/install-deps

build: deps
	cmake --preset host && cmake --build --preset host
	scripts/build-runtime
	cmake --preset win32 && cmake --build --preset win32

clean:
	rm -rf build
