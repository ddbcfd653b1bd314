# Copies every file of SOURCE into TARGET unless TARGET already has a file of that name.
file(GLOB files RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(f ${files})
  if(NOT EXISTS ${TARGET}/${f})
    file(COPY ${SOURCE}/${f} DESTINATION ${TARGET})
  endif()
endforeach()
