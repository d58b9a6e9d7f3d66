"""A tour of libketralpython on an SQLite file: connect, create the schema,
show what it made, disconnect."""
import os
import sqlite3
import sys

import libketralpython as k


def main(path):
    if os.path.exists(path):
        os.remove(path)
    db = k.KETRAL(path, "", "")
    print("DBConnexion ->", db.DBConnexion())
    print("CreateTableSchema ->", db.CreateTableSchema())

    with sqlite3.connect(path) as peek:
        tables = [r[0] for r in peek.execute(
            "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%' ORDER BY name")]
    print(f"{len(tables)} tables in {path}:")
    for name in tables:
        print("  ", name)

    print("DBDeconnexion ->", db.DBDeconnexion())


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "demo.sqlite")
