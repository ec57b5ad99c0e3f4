; ssd1306_pic16.asm - shows one 128 x 64 picture on an SSD1306 OLED over SPI.
;
; Target : PIC16F877A (any mid-range PIC with five free pins on one port)
; Clock  : 20 MHz crystal (HS); 200 ns an instruction is well inside the
;          controller's 100 ns clock cycle, so any slower clock is safe too.
; Build  : gpasm ssd1306_pic16.asm       (gputils)
;
; The picture is the Dt listing Lumetra writes for this display
; ("lumetra-cli listing --display ssd1306 PICTURE -o picture.inc"), kept
; next to this file and included unchanged: 1024 RETLW instructions, page by
; page from the top, each page's 128 columns left to right, bit 0 the top
; pixel of a column's eight. That is the controller's own page order, so the
; bytes go out as they come.
;
; The module is on a four-wire SPI bus driven by port pins (no MSSP needed):
; the controller takes SDIN on each rising edge of SCLK, most significant bit
; first, while CS# is low; D/C# at the eighth bit says command (0) or data (1).

        processor 16f877a
        #include <p16f877a.inc>
        __config _HS_OSC & _WDT_OFF & _PWRTE_ON & _BOREN_OFF & _LVP_OFF & _CP_OFF
        radix   dec
        errorlevel -302         ; "register not in bank 0": banks are selected

; ---- Wiring ----------------------------------------------------------------
; All five lines on one port, written as a whole byte; pins 5..7 stay low.
SPI_PORT        equ     PORTB
SPI_TRIS        equ     TRISB
PIN_SCK         equ     0               ; RB0: SCLK (D0 on most modules)
PIN_SDA         equ     1               ; RB1: SDIN (D1)
PIN_DC          equ     2               ; RB2: D/C#: 1 = data, 0 = command
PIN_CS          equ     3               ; RB3: CS#, active low
PIN_RES         equ     4               ; RB4: RES#, 0 resets the controller

; ---- Controller commands ---------------------------------------------------
SET_PAGE        equ     0xB0            ; + page (0..7)
COLUMN_LOW      equ     0x00            ; + low four bits of the column
COLUMN_HIGH     equ     0x10            ; + high four bits of the column

; ---- Variables, in the RAM all banks share ---------------------------------
        cblock  0x70
        lines                           ; the port's idle levels: RES#, D/C#
        shift                           ; the byte being sent
        bits
        page                            ; 0..7
        count                           ; bytes left in this page
        ptr_lo, ptr_hi                  ; table index, 0..1023
        temp
        delay1, delay2
        endc

; ---- Program ---------------------------------------------------------------
        org     0
        goto    start                   ; reset vector; no interrupts used

start:
        banksel SPI_TRIS
        clrf    SPI_TRIS                ; the lines are outputs
        banksel SPI_PORT
        movlw   1 << PIN_CS             ; deselected, RES# low: reset
        movwf   SPI_PORT
        call    wait_1ms
        movlw   (1 << PIN_CS) | (1 << PIN_RES)
        movwf   SPI_PORT                ; out of reset
        call    wait_1ms
        movlw   1 << PIN_RES            ; CS# low from now on
        movwf   lines
        movwf   SPI_PORT

        ; Set-up of a 128 x 64 module with its charge pump, in page addressing.
        clrf    ptr_lo
init_next:
        movf    ptr_lo, W
        call    init_byte
        call    lcd_command
        incf    ptr_lo, F
        movf    ptr_lo, W
        xorlw   init_end - init_table
        btfss   STATUS, Z
        goto    init_next

        clrf    ptr_lo
        clrf    ptr_hi
        clrf    page
next_page:
        movf    page, W
        iorlw   SET_PAGE
        call    lcd_command
        movlw   COLUMN_LOW + 0          ; the left edge
        call    lcd_command
        movlw   COLUMN_HIGH + 0
        call    lcd_command
        movlw   128
        movwf   count
next_byte:
        call    table_byte              ; W = byte ptr of the listing
        call    lcd_data                ; the column moves on by itself
        incf    ptr_lo, F
        btfsc   STATUS, Z
        incf    ptr_hi, F
        decfsz  count, F
        goto    next_byte
        incf    page, F
        btfss   page, 3                 ; 8 pages of 128 bytes
        goto    next_page

done:
        goto    done                    ; the picture stays on the display

; ---- SPI -------------------------------------------------------------------
; lcd_command: sends W as a command; lcd_data: W into display memory.
lcd_command:
        bcf     lines, PIN_DC
        goto    spi_send
lcd_data:
        bsf     lines, PIN_DC
spi_send:
        movwf   shift
        movlw   8
        movwf   bits
spi_bit:
        movf    lines, W                ; SCLK low, the bit on SDIN
        btfsc   shift, 7
        iorlw   1 << PIN_SDA
        movwf   SPI_PORT
        iorlw   1 << PIN_SCK
        movwf   SPI_PORT                ; SCLK rises: the controller takes it
        rlf     shift, F
        decfsz  bits, F
        goto    spi_bit
        movf    lines, W
        movwf   SPI_PORT                ; SCLK low again
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

; init_byte: W = entry W of the set-up table (short: no page crossing).
init_byte:
        addlw   low init_table
        movwf   temp
        movlw   high init_table
        btfsc   STATUS, C
        addlw   1
        movwf   PCLATH
        movf    temp, W
        movwf   PCL
init_table:
        retlw   0xAE                    ; display off
        retlw   0xD5                    ; clock: divide by 1, middle frequency
        retlw   0x80
        retlw   0xA8                    ; multiplex: 64 lines
        retlw   0x3F
        retlw   0xD3                    ; no display offset
        retlw   0x00
        retlw   0x40                    ; start line 0
        retlw   0x8D                    ; charge pump on (no external VCC)
        retlw   0x14
        retlw   0x20                    ; page addressing
        retlw   0x02
        retlw   0xA1                    ; column 0 at the left of a module
        retlw   0xC8                    ; page 0 at its top
        retlw   0xDA                    ; COM pins: alternative, no remap
        retlw   0x12
        retlw   0x81                    ; contrast
        retlw   0xCF
        retlw   0xD9                    ; pre-charge for the charge pump
        retlw   0xF1
        retlw   0xDB                    ; VCOMH deselect level
        retlw   0x40
        retlw   0xA4                    ; show the RAM
        retlw   0xA6                    ; lit bits light
        retlw   0xAF                    ; display on
init_end:

; ---- The picture -----------------------------------------------------------
; table_byte: W = entry ptr_hi:ptr_lo of the table of RETLWs. The table
; crosses 256-word pages, so the jump computes the full address and puts its
; high part into PCLATH before writing PCL.
table_byte:
        movlw   low picture
        addwf   ptr_lo, W
        movwf   temp
        movlw   high picture
        btfsc   STATUS, C
        addlw   1
        addwf   ptr_hi, W
        movwf   PCLATH
        movf    temp, W
        movwf   PCL                     ; the RETLW returns to our caller

picture:
        #include "picture.inc"
picture_end:

        if picture_end - picture != 1024
        error "picture.inc must be a Dt listing of 1024 bytes (--display ssd1306)"
        endif
        ; After a table read PCLATH holds the table's page; the GOTOs and
        ; CALLs above stay right only while the table ends below 0x800.
        if picture_end > 0x800
        error "the picture table must end below program address 0x800"
        endif

        end
