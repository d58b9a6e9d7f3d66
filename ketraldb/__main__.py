"""`python3 -m ketraldb`: the command line (ketraldb/_cli.py)."""
import sys

from ._cli import main

sys.exit(main())
