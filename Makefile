# make test: installs what the builds need, builds the host and win32
# presets, and runs every test tier (host, host under ASan+UBSan, Wine, end
# to end), ending with one "TIER: N passed, N failed" line per tier.
.PHONY: test deps build clean

test: deps
	scripts/run-tests

deps:
	scripts/install-deps

build: deps
	cmake --preset host && cmake --build --preset host
	cmake --preset win32 && cmake --build --preset win32

clean:
	rm -rf build
