# cmake -D OUT=FILE -D PARTS=A;B -P join_parts.cmake: FILE is the parts one after another.
# Turtle documents joined so stay one valid document (a prefix may be declared again).
set(text "")
foreach(part IN LISTS PARTS)
    file(READ ${part} content)
    string(APPEND text "${content}\n")
endforeach()
file(WRITE ${OUT} "${text}")
