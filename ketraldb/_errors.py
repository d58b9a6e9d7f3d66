"""The package's one exception class."""


class KetralError(RuntimeError):
    """A call the library (or the module's own checks) refused or could not do.

    ``str(error)`` is the message exactly as the library or the module wrote
    it (``InsertPort: no device named 'sw07'``); ``error.method`` names the
    module method that raised it (``"InsertPort"``), or is ``None``.

    It is a ``RuntimeError``, so a script written for the module's own
    errors catches it too.
    """

    def __init__(self, message: str, method: "str | None" = None) -> None:
        super().__init__(message)
        self.message = message
        self.method = method
