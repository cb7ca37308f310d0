# kvunzip on archives with non-ASCII entry names:
#   cmake -DKVUNZIP=<program> -DEMULATOR=<"wine-run 64" or empty> -DFIXTURES=<tests/fixtures/names>
#         -DWORK=<scratch folder> -P names_e2e.cmake
# The Windows run happens under a Russian Wine (ANSI 1251, OEM 866): the files
# must appear on the host with their Cyrillic names, and the listing must come
# in the console's code page (OEM 866 when the output is a pipe).
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY "${FIXTURES}/7zip_utf8.zip" "${FIXTURES}/infozip_utf8.zip" "${FIXTURES}/python_utf8.zip"
     "${FIXTURES}/infozip_cp866.zip" DESTINATION "${WORK}")

function(run expected)
  execute_process(COMMAND ${emulator} "${KVUNZIP}" ${ARGN}
                  WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL expected)
    message(FATAL_ERROR "kvunzip ${ARGN}: exit status ${rc}, expected ${expected}\n${out}\n${err}")
  endif()
  set(OUT "${out}" PARENT_SCOPE)
endfunction()

foreach(archive 7zip_utf8 infozip_utf8 python_utf8 infozip_cp866)
  run(0 x -d ${archive} ${archive}.zip)
endforeach()
foreach(path 7zip_utf8/Установка.txt 7zip_utf8/__.txt infozip_utf8/Установка.txt
        python_utf8/Папка/Установка.txt python_utf8/__.txt infozip_cp866/Привет.txt)
  if(NOT EXISTS "${WORK}/${path}")
    file(GLOB_RECURSE found RELATIVE "${WORK}" "${WORK}/*")
    message(FATAL_ERROR "missing ${path}; there are: ${found}")
  endif()
endforeach()

run(0 l python_utf8.zip)
if(EMULATOR)
  string(ASCII 143 160 175 170 160 92 147 225 226 160 173 174 162 170 160 name)  # Папка\Установка in 866
else()
  set(name "Папка\\Установка")
endif()
string(FIND "${OUT}" "${name}.txt" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the listing does not show the name in the terminal's code page:\n${OUT}")
endif()
