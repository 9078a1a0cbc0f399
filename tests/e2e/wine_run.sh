#!/usr/bin/env bash
# Runs a cross-built test program under Wine in the prefix named by WINEPREFIX.
exec wine "$@"
