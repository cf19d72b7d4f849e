"""What the command-line checks share: running a tool, and counting what was not as expected."""

import subprocess


def run(tool, *args):
    """The exit status, standard output and standard error of one run."""
    done = subprocess.run([tool, *args], capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


class Expectations:
    def __init__(self):
        self.failures = []

    def expect(self, what, condition):
        if not condition:
            self.failures.append(what)

    def report(self):
        """Prints each failure and gives the exit status."""
        for failure in self.failures:
            print("FAIL", failure)
        print(f"{len(self.failures)} failures")
        return 1 if self.failures else 0
