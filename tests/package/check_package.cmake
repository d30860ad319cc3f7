# cmake -P check_package.cmake with BUILD_DIR, WORK_DIR, EXAMPLE_DIR, FIXTURES_DIR, CXX and
# CXX_FLAGS (what a program linking this build's libraries must compile with, e.g. the
# sanitizers of an instrumented build).
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed (${result}): ${ARGN}\n${out}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

function(expect_line text)
  string(FIND "${output}" "${text}\n" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "expected the line \"${text}\" in:\n${output}")
  endif()
endfunction()

set(stage ${WORK_DIR}/stage)
file(REMOVE_RECURSE ${WORK_DIR})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${stage})

# Through the CMake package.
run(${CMAKE_COMMAND} -S ${EXAMPLE_DIR} -B ${WORK_DIR}/cmake_build -G Ninja
    -DCMAKE_PREFIX_PATH=${stage} -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake_build)

# Through pkg-config.
set(ENV{PKG_CONFIG_PATH} ${stage}/lib/pkgconfig)
run(pkg-config --cflags --libs korvane-tables)
string(STRIP "${output}" pkg_flags)
separate_arguments(pkg_flags UNIX_COMMAND "${pkg_flags}")
separate_arguments(extra_flags UNIX_COMMAND "${CXX_FLAGS}")
run(${CXX} -std=c++20 ${extra_flags} ${EXAMPLE_DIR}/main.cpp ${pkg_flags}
    -o ${WORK_DIR}/table_walk_pkgconfig)

foreach(program ${WORK_DIR}/cmake_build/table_walk ${WORK_DIR}/table_walk_pkgconfig)
  file(COPY ${FIXTURES_DIR}/pydbf_fp_memo.dbf ${FIXTURES_DIR}/pydbf_fp_memo.fpt
       DESTINATION ${WORK_DIR}/data)
  set(table ${WORK_DIR}/data/pydbf_fp_memo.dbf)
  run(${program} ${table} "TRIM(NAME) + ':' + STR(AMOUNT, 6, 2) + ':' + DTOS(WHEN) + ':' + NOTES")
  expect_line("3: row 3:  0.75:20200103:x")
  run(${program} ${table} "TRIM(NAME) + '/' + UPPER(LEFT(NOTES, 1))" NAME "changed")
  expect_line("3: row 3/X")
  expect_line("changed 1: changed/")
  run(${program} ${table} "TRIM(NAME)")
  expect_line("1: changed")
  file(REMOVE_RECURSE ${WORK_DIR}/data)
endforeach()
