# The browser site in headless Chromium.
if(TARGET tarno-web AND TARGET tarno-demo AND TARGET tarno-solve AND Python3_FOUND)
  add_test(NAME e2e_web_play
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/web/web_test.py
      --site ${TARNO_WEB_SITE_DIR} --run-dir ${TARNO_RUN_DIR}
      --demo $<TARGET_FILE:tarno-demo> --solve $<TARGET_FILE:tarno-solve>)
  # Alone on the machine: it holds a key for a measured time.
  set_tests_properties(e2e_web_play PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE)
endif()

# The same site as on a phone: touch, the layout, offline, the page's policy.
if(TARGET tarno-web AND TARGET tarno-solve AND Python3_FOUND)
  add_test(NAME e2e_web_phone
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/web/phone_test.py
      --site ${TARNO_WEB_SITE_DIR} --run-dir ${TARNO_RUN_DIR} --solve $<TARGET_FILE:tarno-solve>)
  set_tests_properties(e2e_web_phone PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE)
endif()

# The page on a small and a large phone, both ways round, and a desktop: the
# field's size, the buttons, every status text whole, a win by touch and its
# Next button. The screenshots stay in the build folder, to be looked at.
if(TARGET tarno-web AND TARGET tarno-solve AND Python3_FOUND)
  add_test(NAME e2e_web_layout
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/web/layout_test.py
      --site ${TARNO_WEB_SITE_DIR} --run-dir ${TARNO_RUN_DIR} --solve $<TARGET_FILE:tarno-solve>
      --out ${CMAKE_CURRENT_BINARY_DIR}/web-layout)
  set_tests_properties(e2e_web_layout PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE)
endif()

# Two tabs for one player: neither loses the other's records.
if(TARGET tarno-web AND TARGET tarno-solve AND Python3_FOUND)
  add_test(NAME e2e_web_two_tabs
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/web/two_tabs_test.py
      --site ${TARNO_WEB_SITE_DIR} --run-dir ${TARNO_RUN_DIR} --solve $<TARGET_FILE:tarno-solve>)
  set_tests_properties(e2e_web_two_tabs PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endif()
