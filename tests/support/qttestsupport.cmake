# The header every Qt test and benchmark includes: the program's fonts and
# lookups of controls by name. Included by the tests and, when they are not
# built, by the benchmarks.
add_library(qttestsupport INTERFACE)
target_include_directories(qttestsupport INTERFACE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qttestsupport INTERFACE rurorodode::controls)
