; ks0108_text_pic16.asm - prints a line of text on a KS0108 graphic LCD
; from a font table written by Lumetra.
;
; Target : PIC16F877A (any mid-range PIC with two free 8-bit ports and 8K
;          words of program memory will do)
; Clock  : 20 MHz crystal (HS); the LCD timing below counts on 200 ns per
;          instruction, so a slower clock is safe, a faster one is not.
; Build  : gpasm ks0108_text_pic16.asm   (gputils)
;
; The font is the Dt table written by "lumetra-cli font FONT --size PX
; --charset cp1251 --name font -o font.inc" (or --chars 32-126 and the
; like), kept next to this file and included unchanged. Its name must be
; "font": the program reads font_FIRST, font_COUNT, font_PAGES, font_widths,
; font_offsets and font_bitmaps. The characters must be one run or a
; charset (no font_codes table), so that a byte's glyph is simply number
; (byte - font_FIRST).
;
; Each glyph is font_PAGES pages (8 pixel rows each) high and as wide as its
; advance; its bytes come page by page, in each page column by column, bit 0
; at the top - exactly the bytes the LCD takes. So printing is copying: for
; each page of the glyph, set the LCD's page and column and send its bytes.
;
; The text is printed at a page (0..7, a row of 8 pixels) and a column
; (0..127) with the glyphs side by side, each moved on by its width, on a
; screen cleared first. What passes the right or bottom edge is left out. A
; byte the font does not cover is skipped.
;
; Change the text and its place below, or give them when assembling:
;   gpasm -D 'MESSAGE="Hello"' -D TEXT_PAGE=3 -D TEXT_COLUMN=10 ks0108_text_pic16.asm
; The text is bytes: with a cp1251 font table write the source (or the -D
; argument) in Windows-1251 to print Cyrillic.

;#define CS_ACTIVE_LOW          ; for modules whose chip selects are /CS1 /CS2

#ifndef MESSAGE
#define MESSAGE "Hello, world!"
#endif
#ifndef TEXT_PAGE
#define TEXT_PAGE 3
#endif
#ifndef TEXT_COLUMN
#define TEXT_COLUMN 16
#endif

        if TEXT_PAGE > 7 || TEXT_COLUMN > 127
        error "the text starts on the screen: page 0..7, column 0..127"
        endif

        processor 16f877a
        #include <p16f877a.inc>
        __config _HS_OSC & _WDT_OFF & _PWRTE_ON & _BOREN_OFF & _LVP_OFF & _CP_OFF
        radix   dec
        errorlevel -302         ; "register not in bank 0": banks are selected

; ---- Wiring (the same as ks0108_pic16.asm) ---------------------------------
; DB0..DB7 on one whole port, the control lines on pins of another. The
; driver only writes: R/W stays low, and it waits a fixed time instead of
; reading the busy flag. Pins 6 and 7 of the control port stay low.

DATA_PORT       equ     PORTD           ; DB0..DB7 on RD0..RD7
DATA_TRIS       equ     TRISD
CTRL_PORT       equ     PORTB
CTRL_TRIS       equ     TRISB
CS1             equ     0               ; RB0: chip select, left half
CS2             equ     1               ; RB1: chip select, right half
RS              equ     2               ; RB2: RS (D/I): 1 = data, 0 = command
RW              equ     3               ; RB3: R/W: 1 = read, held at 0
EN              equ     4               ; RB4: E: the LCD takes a byte as E falls
RST             equ     5               ; RB5: /RST: 0 resets both controllers

#ifdef CS_ACTIVE_LOW
LEFT_CHIP       equ     1 << CS2        ; CS1 low, CS2 high
RIGHT_CHIP      equ     1 << CS1
BOTH_CHIPS      equ     0
#else
LEFT_CHIP       equ     1 << CS1
RIGHT_CHIP      equ     1 << CS2
BOTH_CHIPS      equ     (1 << CS1) | (1 << CS2)
#endif

; ---- Controller commands ---------------------------------------------------
LCD_ON          equ     0x3F            ; display on
START_LINE      equ     0xC0            ; + line shown at the top (0..63)
SET_PAGE        equ     0xB8            ; + page (0..7)
SET_COLUMN      equ     0x40            ; + column (0..63); counts up by itself

; ---- Variables, in bank 0 (the program selects bank 0 after the set-up) ----
        cblock  0x20
        chips                           ; control bits: chip select(s)
        page                            ; LCD page of the text's top, 0..7
        column                          ; screen column of the next glyph, 0..127
        text_lo, text_hi                ; address of the next character
        table_lo, table_hi              ; address of a table entry to read
        glyph_lo, glyph_hi              ; the glyph's first byte in this page
        code                            ; the character, then its glyph number
        width                           ; columns of the glyph
        pages                           ; pages of the glyph left
        page_now                        ; LCD page being written
        x                               ; screen column being written
        left                            ; bytes left in this run
        delay1, delay2
        endc

; ---- Program ---------------------------------------------------------------
; The code stays in the first 2K page of program memory; the tables may lie
; anywhere above it. A table read leaves PCLATH pointing at the table, so
; read_table sets it back to 0 before the caller's next GOTO or CALL.
        org     0
        goto    start                   ; reset vector; no interrupts used

start:
        banksel CTRL_TRIS
        clrf    CTRL_TRIS               ; both ports are outputs
        clrf    DATA_TRIS
        banksel CTRL_PORT
        clrf    DATA_PORT
        clrf    CTRL_PORT               ; /RST low: reset the controllers
        call    wait_1ms
        movlw   1 << RST
        movwf   CTRL_PORT               ; /RST high, E low
        call    wait_1ms                ; the controllers are busy after reset

        movlw   BOTH_CHIPS              ; the same set-up for both halves
        movwf   chips
        movlw   LCD_ON
        call    lcd_command
        movlw   START_LINE
        call    lcd_command
        call    clear_screen

        movlw   TEXT_PAGE
        movwf   page
        movlw   TEXT_COLUMN
        movwf   column
        movlw   low message
        movwf   text_lo
        movlw   high message
        movwf   text_hi
        call    print

done:
        goto    done                    ; the text stays on the LCD

; ---- Text ------------------------------------------------------------------
; print: the zero-ended RETLW string at text_hi:text_lo, at page and column;
; column ends up after the last glyph printed.
print:
        movf    text_lo, W
        movwf   table_lo
        movf    text_hi, W
        movwf   table_hi
        call    read_table              ; W = the character
        incf    text_lo, F
        btfsc   STATUS, Z
        incf    text_hi, F
        movwf   code
        movf    code, F
        btfsc   STATUS, Z
        return                          ; the 0 at the end
        movlw   font_FIRST
        subwf   code, F                 ; code = glyph number; C = 0: below FIRST
        btfss   STATUS, C
        goto    print
        movf    code, W
        sublw   font_COUNT - 1          ; C = 0: past the last glyph
        btfss   STATUS, C
        goto    print
        call    print_glyph
        movf    width, W
        addwf   column, F
        btfsc   STATUS, C
        return                          ; past the right edge nothing more shows
        btfss   column, 7
        goto    print
        return

; print_glyph: glyph number code at page and column; sets width.
print_glyph:
        movlw   low font_widths         ; width = font_widths[code]
        addwf   code, W
        movwf   table_lo
        movlw   high font_widths
        btfsc   STATUS, C
        addlw   1
        movwf   table_hi
        call    read_table
        movwf   width

        bcf     STATUS, C               ; table = font_offsets + 2 * code
        rlf     code, W
        movwf   table_lo
        clrf    table_hi
        rlf     table_hi, F             ; the bit shifted out of code
        movlw   low font_offsets
        addwf   table_lo, F
        btfsc   STATUS, C
        incf    table_hi, F
        movlw   high font_offsets
        addwf   table_hi, F
        call    read_table              ; an offset is high byte first,
        movwf   glyph_hi
        call    next_entry
        call    read_table              ; then low byte
        addlw   low font_bitmaps        ; glyph = font_bitmaps + offset
        movwf   glyph_lo
        movlw   high font_bitmaps
        btfsc   STATUS, C
        addlw   1
        addwf   glyph_hi, F

        movf    width, F
        btfsc   STATUS, Z
        return                          ; a glyph of no columns
        movf    page, W                 ; the glyph's pages go to page, page+1, ...
        movwf   page_now
        movlw   font_PAGES
        movwf   pages
glyph_page:
        movlw   8
        subwf   page_now, W             ; C = 1: below the last LCD page, cut off
        btfsc   STATUS, C
        return
        call    print_run
        movf    width, W                ; the next page's bytes follow this one's
        addwf   glyph_lo, F
        btfsc   STATUS, C
        incf    glyph_hi, F
        incf    page_now, F
        decfsz  pages, F
        goto    glyph_page
        return

; print_run: the width bytes from glyph_hi:glyph_lo into LCD page page_now,
; from screen column "column" on; past column 127 they are left out.
print_run:
        movf    glyph_lo, W
        movwf   table_lo
        movf    glyph_hi, W
        movwf   table_hi
        movf    column, W
        movwf   x
        movf    width, W
        movwf   left
        call    lcd_address
run_byte:
        btfsc   x, 7                    ; column 128 and on: off the screen
        return
        movf    x, W
        xorlw   64                      ; the second crystal starts at column 64
        btfsc   STATUS, Z
        call    lcd_address
        call    read_table
        call    lcd_data                ; the LCD's column moves on by itself
        call    next_entry
        incf    x, F
        decfsz  left, F
        goto    run_byte
        return

; lcd_address: selects the chip of screen column x and sets its page
; (page_now) and column.
lcd_address:
        movlw   LEFT_CHIP
        btfsc   x, 6
        movlw   RIGHT_CHIP
        movwf   chips
        movf    page_now, W
        iorlw   SET_PAGE
        call    lcd_command
        movf    x, W
        andlw   63
        iorlw   SET_COLUMN
        goto    lcd_command

; clear_screen: zeros into all 8 pages of both chips at once.
clear_screen:
        movlw   BOTH_CHIPS
        movwf   chips
        clrf    page_now
clear_page:
        movf    page_now, W
        iorlw   SET_PAGE
        call    lcd_command
        movlw   SET_COLUMN + 0
        call    lcd_command
        movlw   64
        movwf   left
clear_byte:
        movlw   0
        call    lcd_data
        decfsz  left, F
        goto    clear_byte
        incf    page_now, F
        btfss   page_now, 3
        goto    clear_page
        return

; ---- Tables ----------------------------------------------------------------
; read_table: W = the RETLW entry at table_hi:table_lo, anywhere in program
; memory. The jump puts the full address into PCLATH:PCL; afterwards PCLATH
; goes back to page 0, where this code lives.
read_table:
        call    jump_table
        clrf    PCLATH
        return
jump_table:
        movf    table_hi, W
        movwf   PCLATH
        movf    table_lo, W
        movwf   PCL                     ; the RETLW returns to read_table

; next_entry: table = table + 1.
next_entry:
        incf    table_lo, F
        btfsc   STATUS, Z
        incf    table_hi, F
        return

; ---- LCD -------------------------------------------------------------------
; lcd_command: sends W as a command to the chip(s) in chips.
; lcd_data:    writes W into display memory of the chip(s) in chips.
lcd_command:
        movwf   DATA_PORT
        movf    chips, W                ; RS = 0
        goto    lcd_strobe
lcd_data:
        movwf   DATA_PORT
        movf    chips, W
        iorlw   1 << RS                 ; RS = 1
lcd_strobe:
        iorlw   1 << RST
        movwf   CTRL_PORT               ; RS, R/W and chip selects settle
        iorlw   1 << EN
        movwf   CTRL_PORT               ; E high ...
        nop
        xorlw   1 << EN
        movwf   CTRL_PORT               ; ... 600 ns; the LCD takes the byte now
        ; The controller is busy for a few microseconds after each byte:
        ; wait about 10 us (16 * 3 cycles of 200 ns).
        movlw   16
        movwf   delay1
lcd_wait:
        decfsz  delay1, F
        goto    lcd_wait
        return

wait_1ms:                               ; 1 ms at 20 MHz
        movlw   7
        movwf   delay2
        clrf    delay1
wait_loop:
        decfsz  delay1, F               ; 256 * 3 cycles
        goto    wait_loop
        decfsz  delay2, F
        goto    wait_loop
        return
code_end:

        if code_end > 0x800
        error "the code must stay in the first 2K page of program memory"
        endif

; ---- The text and the font -------------------------------------------------
message:
        dt      MESSAGE, 0

        #include "font.inc"

        if font_offsets - font_widths != font_COUNT
        error "font.inc must be a Dt table: one RETLW a byte"
        endif
        ifdef font_codes
        error "font.inc has gaps (a codes table); write it for a range or a charset"
        endif
        if font_FIRST + font_COUNT > 256
        error "font.inc covers codes past 255; a byte of text cannot reach them"
        endif
        if $ > 0x2000
        error "the font does not fit into the 8K words of program memory"
        endif

        end
