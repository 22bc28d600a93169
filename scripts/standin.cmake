# the POSIX stand-in for the command interpreter
