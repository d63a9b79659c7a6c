#!/bin/bash
# The checker windows of the real program under the X server x_server.py gives:
# check_windows_x11.sh BIN_DIR TOOLS_DIR SCENARIO
exec python3 "$(dirname "$0")/check_windows_e2e.py" "$@"
