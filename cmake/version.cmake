# The version of every program, said once: the project's version, and the
# header the programs print it from (celltrend_version, a target of its own).
set(CELLTREND_VERSION 1.0.0)
