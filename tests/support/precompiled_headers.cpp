// Empty: the object that carries the precompiled headers every test
// program reuses (see tests/CMakeLists.txt).
