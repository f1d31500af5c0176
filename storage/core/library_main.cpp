// The shared library's own translation unit; its contents come from qfstore_impl.
