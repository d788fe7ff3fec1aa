# gtest_discover_tests flattens a list given in PROPERTIES (CMake 3.25): LABELS "e2e;console" would
# leave the label "e2e" alone and take "console" for a property name. This sets the labels once
# discovery has listed the tests of `target`.
function(korvu_label_discovered_tests target)
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${target}_labels.cmake")
  file(WRITE "${script}"
    "foreach(test IN LISTS ${target}_TESTS)\n"
    "  set_tests_properties(\"\${test}\" PROPERTIES LABELS \"${ARGN}\")\n"
    "endforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
endfunction()
