# The whole set-up on a fresh machine: `make run` or `make test`.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: deps build run test bench clean

deps:
	@./scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@./scripts/run-demo $(BUILD)

test: build
	@./scripts/run-tests $(BUILD)

bench: deps
	@./scripts/run-bench

clean:
	rm -rf $(BUILD) build-*
