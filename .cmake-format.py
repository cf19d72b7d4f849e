# The CMake files' format, checked in CI (scripts/check_format.sh); C++ has .clang-format.
with section("format"):
    line_width = 100
    tab_size = 4
    max_pargs_hwrap = 8
    max_rows_cmdline = 3
    dangle_parens = False
    command_case = "lower"
    keyword_case = "unchanged"
    max_subgroups_hwrap = 4

with section("markup"):
    # Comments are written by hand; leave them as they are.
    enable_markup = False

with section("parse"):
    additional_commands = {
        "gtest_discover_tests": {
            "pargs": 1,
            "kwargs": {"PROPERTIES": "+", "EXTRA_ARGS": "+", "TEST_PREFIX": 1, "DISCOVERY_TIMEOUT": 1},
        },
    }
