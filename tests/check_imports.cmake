cmake_policy(SET CMP0057 NEW)
# Fails when an executable imports a DLL that is not part of Windows itself
# (a zlib1.dll or a libstdc++-6.dll that Wine may supply but Windows does not).
# cmake -DOBJDUMP=... -DEXECUTABLES=a.exe;b.exe -P check_imports.cmake

set(system_dlls
  advapi32.dll comctl32.dll gdi32.dll iphlpapi.dll kernel32.dll msvcrt.dll
  ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll ws2_32.dll)

foreach(executable IN LISTS EXECUTABLES)
  execute_process(COMMAND ${OBJDUMP} -p ${executable}
                  OUTPUT_VARIABLE dump RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} could not read ${executable}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
  if(NOT imports)
    message(FATAL_ERROR "${executable}: no imports found; is it a PE file?")
  endif()
  foreach(line IN LISTS imports)
    string(REPLACE "DLL Name: " "" dll "${line}")
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST system_dlls)
      message(FATAL_ERROR "${executable} imports ${dll}, which Windows does not provide")
    endif()
    message(STATUS "${executable}: ${dll}")
  endforeach()
endforeach()
